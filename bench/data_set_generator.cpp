#include "data_set_generator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "exchange/desktop_load_options.h"
#include "model/accounts.h"
#include "model/string_table.h"
#include "model/transaction_type.h"

namespace tallowmere::bench {
namespace {

constexpr int kStringTransfer = 260;

struct ExtraAccount {
    const char* name;
    std::uint8_t type;
};
// After the default accounts; further accounts are numbered checking accounts.
constexpr std::array<ExtraAccount, 5> kExtraAccounts = {{
    {"Cash", kCash},
    {"Brokerage", kAsset},
    {"Car Loan", kLiability},
    {"Money Market", kMoneyMarket},
    {"Home Equity Line", kLineOfCredit},
}};

// Payee names are a place and a kind of business; each kind has its category
// (a default one, by code) and a typical amount in cents. In order of how
// often people pay them.
constexpr std::array<const char*, 25> kPlaces = {
    "Maple",   "Harbor",    "Summit",   "Riverside",    "Oak Hill",    "Northside", "Blue Sky",
    "Pioneer", "Lakeview",  "Cedar",    "Union",        "Liberty",     "Evergreen", "Granite",
    "Sunrise", "Westfield", "Copper",   "Silver Creek", "Main Street", "Parkway",   "Highland",
    "Bayside", "Meadow",    "Kingston", "Golden Gate"};
struct Business {
    const char* name;
    std::uint16_t category;
    Cents typical;
};
constexpr std::array<Business, 20> kBusinesses = {{
    {"Grocery", 0x0077, 8540},       {"Coffee House", 0x0073, 640},  {"Fuel", 0x006D, 4210},
    {"Diner", 0x0073, 2875},         {"Pharmacy", 0x007C, 2399},     {"Pizzeria", 0x0073, 2450},
    {"Hardware", 0x0078, 3615},      {"Bakery", 0x0077, 1280},       {"Books", 0x0074, 2199},
    {"Cinema", 0x0075, 2600},        {"Auto Repair", 0x006C, 31250}, {"Dental", 0x007C, 18000},
    {"Florist", 0x0076, 4500},       {"Fitness", 0x0081, 4999},      {"Electric", 0x008F, 11240},
    {"Water Co.", 0x0090, 5310},     {"Insurance", 0x0079, 14300},   {"Tailors", 0x0072, 6800},
    {"Garden Center", 0x0078, 5420}, {"Telecom", 0x008A, 7999},
}};
struct IncomeSource {
    const char* name;
    Cents typical;
};
constexpr std::array<IncomeSource, 3> kIncome = {{
    {"Northwind Traders Payroll", 265000},
    {"Interest Earned", 1250},
    {"Dividend Reinvestment", 8400},
}};
constexpr std::uint16_t kSalaryCategory = 0x006B;
constexpr std::uint16_t kBankChargeCategory = 0x007F;  // Misc

constexpr std::array<const char*, 20> kTopCategories = {
    "Pets",        "Children",  "Charity",       "Personal Care", "Home Improvement",
    "Hobbies",     "Garden",    "Sports",        "Music",         "Photography",
    "Electronics", "Furniture", "Parking",       "Tolls",         "Bank Fees",
    "Office",      "Postage",   "Books & Media", "Software",      "Professional Fees"};
constexpr std::array<const char*, 41> kSubCategories = {
    "Supplies",   "Repairs",    "Lessons",     "Equipment", "Memberships",  "Fees",
    "Tickets",    "Rental",     "Service",     "Parts",     "Tools",        "Cleaning",
    "Food",       "Veterinary", "Daycare",     "Tuition",   "Donations",    "Haircut",
    "Cosmetics",  "Paint",      "Plumbing",    "Seeds",     "Plants",       "Uniforms",
    "Strings",    "Prints",     "Cables",      "Chairs",    "Monthly Pass", "Highway",
    "Overdraft",  "ATM Fees",   "Stationery",  "Stamps",    "Magazines",    "Licences",
    "Accounting", "Legal",      "Travel Gear", "Toys",      "Allowance"};

constexpr std::array<const char*, 14> kMemos = {
    "weekly shopping", "monthly bill",     "reimbursed by work, see receipt",
    "gift for Anna",   "paid with coupon", "split with roommate",
    "annual renewal",  "tax deductible",   "receipt in the blue folder",
    "birthday dinner", "school trip",      "returned one item, credit expected",
    "auto-pay",        "trip to the coast"};
constexpr std::array<const char*, 5> kTransferMemos = {
    "card payment", "monthly savings", "loan payment", "cash for the week", "moving money"};

struct ScheduledPlan {
    const char* payee;
    std::uint16_t category;  // 0: a transfer to the second account
    Cents amount;
    int frequency;
    bool deposit;
};
constexpr std::array<ScheduledPlan, 10> kScheduledPlans = {{
    {"Blue Ridge Mortgage", 0x0078, 185000, kFrequencyMonthly, false},
    {"City Power & Light", 0x008F, 11200, kFrequencyMonthly, false},
    {"Municipal Water", 0x0090, 6400, kFrequencyTwoMonths, false},
    {"Northwind Traders Payroll", kSalaryCategory, 265000, kFrequencyTwiceAMonth, true},
    {"Cable Vision", 0x008D, 8999, kFrequencyMonthly, false},
    {"Metro Mobile", 0x008A, 6500, kFrequencyMonthly, false},
    {"Safe Harbor Insurance", 0x0079, 42000, kFrequencyQuarterly, false},
    {"Streamflix", 0x0082, 1599, kFrequencyMonthly, false},
    {"Transfer", 0, 50000, kFrequencyMonthly, false},
    {"County Property Tax", 0x0083, 210000, kFrequencyTwiceAYear, false},
}};

// Howard Hinnant's days-from-civil: days since 1970-01-01.
long long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<long long>(era) * 146097 + doe - 719468;
}

// Days since the handheld's epoch, 1904-01-01.
long long PalmDay(int y, int m, int d) {
    return DaysFromCivil(y, m, d) - DaysFromCivil(1904, 1, 1);
}

class Generator {
  public:
    explicit Generator(const DataSetOptions& options) : options_(options), rng_(options.seed) {}

    int Run(const std::string& folder, DataSetSummary* summary);

  private:
    std::uint32_t Below(std::uint32_t n) { return n == 0 ? 0 : rng_() % n; }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }
    // Skewed towards the front: a few payees get most of the entries.
    std::size_t Skewed(std::size_t n) {
        const auto a = static_cast<std::uint64_t>(Below(static_cast<std::uint32_t>(n)));
        const auto b = static_cast<std::uint64_t>(Below(static_cast<std::uint32_t>(n)));
        return static_cast<std::size_t>(a * b / n);
    }
    // Ids that never repeat within the data set and are the same every run.
    RecordId NextId() {
        const std::uint32_t n = nextId_++;
        RecordId id;
        id.bytes[0] = 0x54;
        id.bytes[1] = 0x4D;
        id.bytes[2] = static_cast<std::uint8_t>(n >> 8);
        id.bytes[3] = static_cast<std::uint8_t>(n);
        const std::uint32_t stamp = kIdStamp + (n >> 16);
        for (int i = 0; i < 4; ++i)
            id.bytes[4 + i] = static_cast<std::uint8_t>(stamp >> (24 - 8 * i));
        return id;
    }
    Cents Around(Cents typical) {
        // 40 % to 160 % of the typical amount, to the cent.
        const Cents low = typical * 2 / 5;
        return low + static_cast<Cents>(Below(static_cast<std::uint32_t>(typical * 6 / 5 + 1)));
    }
    std::string Memo() { return Chance(35) ? kMemos[Below(kMemos.size())] : std::string(); }

    int WriteAccounts(const std::string& folder);
    void AddCategories(CCategoryList& list);
    void AddPayees(CPayeesList& list);
    void AddTransactions(CAccounts& data);
    int AddScheduled(CAccounts& data);

    void Plain(CAccounts& data, std::size_t account, PalmTime date);
    void Split(CAccounts& data, std::size_t account, PalmTime date, bool withTransfer);
    void Transfer(CAccounts& data, PalmTime date);
    std::uint8_t StatusFor(PalmTime date) const;
    std::size_t PickAccount();
    std::size_t OtherAccount(std::size_t account);
    // Cards most often, a loan only while something is owed on it.
    std::size_t TransferTarget(CAccounts& data, std::size_t from);
    RecordId RandomCategory() { return categoryIds_[Below(categoryIds_.size())]; }

    static constexpr std::uint32_t kIdStamp = 0xD9000000u;

    const DataSetOptions& options_;
    std::mt19937 rng_;
    std::uint32_t nextId_ = 0;
    PalmTime firstDay_ = 0;
    PalmTime lastDay_ = 0;
    std::vector<RecordId> accountIds_;
    std::vector<std::uint8_t> accountTypes_;
    std::vector<std::uint32_t> accountWeights_;
    std::vector<std::uint32_t> checkNumbers_;
    std::vector<RecordId> categoryIds_;
    std::vector<RecordId> classIds_;
    struct Payee {
        std::string name;
        RecordId category;
        Cents typical;
    };
    std::vector<Payee> payees_;
    std::string transferPayee_;
    std::uint32_t onlineIds_ = 0;
    DataSetSummary made_;
};

int Generator::WriteAccounts(const std::string& folder) {
    for (int i = 0; i < options_.accounts; ++i) {
        CAccount account;
        AccountHeader& h = account.Header();
        std::string name;
        std::uint32_t weight = 5;
        if (static_cast<std::size_t>(i) < kDefaultAccounts.size()) {
            const DefaultAccount& d = kDefaultAccounts[static_cast<std::size_t>(i)];
            h.SetId(RecordId::Fixed(d.code));
            name = LoadString(d.stringId);
            h.SetType(d.type);
            h.SetIconIndex(d.icon);
            account.SetColor(d.color);
        } else {
            const std::size_t extra = static_cast<std::size_t>(i) - kDefaultAccounts.size();
            std::uint8_t type = kChecking;
            if (extra < kExtraAccounts.size()) {
                name = kExtraAccounts[extra].name;
                type = kExtraAccounts[extra].type;
            } else {
                name = "Account " + std::to_string(i + 1);
            }
            h.SetId(NextId());
            h.SetType(type);
            h.SetIconIndex(AccountTypeDefaultIcon(type));
            account.SetDefaultColorForType(type);
        }
        h.SetName(name);
        const std::uint8_t type = h.GetType();
        // Weights: how many of the entries each account gets.
        switch (type) {
            case kChecking:
                weight = i == 0 ? 400 : 50;
                h.SetOpeningBalance(250000);
                h.SetLastCheckNumber(1000);
                break;
            case kSavings:
            case kMoneyMarket:
                weight = 40;
                h.SetOpeningBalance(1200000);
                break;
            case kCreditCard:
                weight = 150;
                break;
            case kCash:
                weight = 60;
                h.SetOpeningBalance(10000);
                break;
            case kAsset:
                weight = 20;
                h.SetOpeningBalance(2500000);
                break;
            case kLiability:
                weight = 2;
                h.SetOpeningBalance(-2400000);
                break;
            default:
                weight = 10;
                break;
        }
        int r = account.MakeFilePath(folder, name);
        if (r == 0)
            r = account.Save();
        if (r != 0)
            return r;
        accountIds_.push_back(h.GetId());
        accountTypes_.push_back(type);
        accountWeights_.push_back(weight);
        checkNumbers_.push_back(1000);
    }
    return 0;
}

void Generator::AddCategories(CCategoryList& list) {
    std::vector<RecordId> tops;
    std::set<std::pair<std::uint64_t, std::string>> taken;
    const auto key = [](const RecordId& id) {
        std::uint64_t k = 0;
        for (std::uint8_t b : id.bytes)
            k = (k << 8) | b;
        return k;
    };
    for (const DefaultCategory& d : kDefaultCategories) {
        const RecordId parent = d.parentCode == 0 ? kNoneId : RecordId::Fixed(d.parentCode);
        taken.emplace(key(parent), LoadString(d.stringId));
        if (d.parentCode == 0)
            tops.push_back(RecordId::Fixed(d.code));
    }
    const int count = std::max(0, options_.categories);
    const int newTops = std::min<int>(count / 5, static_cast<int>(kTopCategories.size()));
    for (int i = 0; i < newTops; ++i) {
        auto item = std::make_unique<CCategoryItem>(kTopCategories[static_cast<std::size_t>(i)]);
        item->SetId(NextId());
        item->SetIcon(static_cast<std::uint16_t>(Below(64)));
        if (Chance(30))
            item->SetBudget(static_cast<Cents>(5000 + Below(50000)));
        taken.emplace(0, item->GetName());
        tops.push_back(item->GetId());
        list.AddItem(std::move(item));
    }
    for (int i = newTops, k = 0; i < count; ++i) {
        // Walk parent and name together; a pair already used moves on.
        RecordId parent;
        std::string name;
        do {
            parent = tops[static_cast<std::size_t>(k) % tops.size()];
            const std::size_t round =
                static_cast<std::size_t>(k) / (tops.size() * kSubCategories.size());
            name = kSubCategories[static_cast<std::size_t>(k) % kSubCategories.size()];
            if (round > 0)
                name += " " + std::to_string(round + 1);
            ++k;
        } while (!taken.emplace(key(parent), name).second);
        auto item = std::make_unique<CCategoryItem>(name, parent);
        item->SetId(NextId());
        item->SetIcon(static_cast<std::uint16_t>(Below(64)));
        if (Chance(20))
            item->SetBudget(static_cast<Cents>(2000 + Below(20000)));
        list.AddItem(std::move(item));
    }
    for (std::size_t i = 0; i < list.GetCount(false); ++i) {
        const RecordId id = list.GetAt(i, false)->GetId();
        if (id != RecordId::Fixed(kSalaryCategory))
            categoryIds_.push_back(id);
    }
    made_.categories = count;
}

void Generator::AddPayees(CPayeesList& list) {
    const int count = std::max(0, options_.payees);
    for (int i = 0; i < count; ++i) {
        Payee p;
        bool income = false;
        if (static_cast<std::size_t>(i) < kIncome.size()) {
            p.name = kIncome[static_cast<std::size_t>(i)].name;
            p.category = RecordId::Fixed(kSalaryCategory);
            p.typical = kIncome[static_cast<std::size_t>(i)].typical;
            income = true;
        } else {
            const std::size_t j = static_cast<std::size_t>(i) - kIncome.size();
            const Business& b = kBusinesses[(j / kPlaces.size()) % kBusinesses.size()];
            p.name = std::string(kPlaces[j % kPlaces.size()]) + " " + b.name;
            const std::size_t round = j / (kPlaces.size() * kBusinesses.size());
            if (round > 0)
                p.name += " " + std::to_string(round + 1);
            p.category = RecordId::Fixed(b.category);
            p.typical = b.typical;
        }
        auto item = std::make_unique<CPayeeItem>(p.name);
        item->SetId(NextId());
        CTransaction last(CTransaction::ForLoad{});
        last.SetPayeeName(p.name);
        last.SetAmount(Around(p.typical));
        last.SetTypeId(income ? DepositTypeId : WithdrawalTypeId);
        last.SetCategoryId(p.category);
        last.SetMemo(Memo());
        item->MemorizeTransaction(last);
        list.AddItem(std::move(item));
        payees_.push_back(std::move(p));
    }
    made_.payees = count;
}

std::uint8_t Generator::StatusFor(PalmTime date) const {
    const PalmTime age = date >= lastDay_ ? 0 : (lastDay_ - date) / kSecondsPerDay;
    // Old entries are reconciled, the last weeks' still open or cleared.
    const std::uint32_t r = static_cast<std::uint32_t>(date * 2654435761u) % 1000;
    if (r < 3)
        return kStatusVoid;
    if (age > 45)
        return r < 900 ? kStatusReconciled : kStatusCleared;
    if (age > 10)
        return r < 700 ? kStatusCleared : kStatusOpen;
    return r < 300 ? kStatusCleared : kStatusOpen;
}

std::size_t Generator::PickAccount() {
    // Without a share of its own the first account draws by weight like
    // the others, and the draws stay those of every earlier data set.
    const bool share = options_.firstAccountPercent > 0 && accountWeights_.size() > 1;
    if (share && Chance(static_cast<std::uint32_t>(options_.firstAccountPercent)))
        return 0;
    const std::size_t first = share ? 1 : 0;
    std::uint32_t total = 0;
    for (std::size_t i = first; i < accountWeights_.size(); ++i)
        total += accountWeights_[i];
    std::uint32_t r = Below(total);
    for (std::size_t i = first; i < accountWeights_.size(); ++i) {
        if (r < accountWeights_[i])
            return i;
        r -= accountWeights_[i];
    }
    return 0;
}

std::size_t Generator::OtherAccount(std::size_t account) {
    const std::size_t n = accountIds_.size();
    return (account + 1 + Below(static_cast<std::uint32_t>(n - 1))) % n;
}

std::size_t Generator::TransferTarget(CAccounts& data, std::size_t from) {
    std::vector<std::uint32_t> weights(accountIds_.size(), 0);
    std::uint32_t total = 0;
    for (std::size_t i = 0; i < accountIds_.size(); ++i) {
        if (i == from)
            continue;
        switch (accountTypes_[i]) {
            case kCreditCard:
                weights[i] = 30;
                break;
            case kLiability:
                weights[i] = data.FindAccountById(accountIds_[i])->GetBalance(0) < 0 ? 2 : 0;
                break;
            case kAsset:
                weights[i] = 8;
                break;
            case kLineOfCredit:
                weights[i] = 5;
                break;
            case kChecking:
                weights[i] = 10;
                break;
            default:
                weights[i] = 15;
                break;
        }
        total += weights[i];
    }
    if (total == 0)
        return OtherAccount(from);
    std::uint32_t r = Below(total);
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (r < weights[i])
            return i;
        r -= weights[i];
    }
    return OtherAccount(from);
}

void Generator::Plain(CAccounts& data, std::size_t account, PalmTime date) {
    auto t = std::make_unique<CTransaction>();
    t->SetId(NextId());
    t->SetDate(date);
    const std::uint8_t type = accountTypes_[account];
    const std::uint32_t roll = Below(100);
    bool income = false;
    RecordId typeId = WithdrawalTypeId;
    std::string payee;
    // A fee or interest line instead of a purchase, with its typical amount.
    Cents fee = 0;
    switch (type) {
        case kChecking:
            if (roll < 12) {
                typeId = CheckTypeId;
                t->SetCheckNumber(++checkNumbers_[account]);
            } else if (roll < 19) {
                income = true;
            } else if (roll < 28) {
                typeId = AtmTypeId;
                payee = "ATM Withdrawal";
            } else if (roll < 42) {
                typeId = EftTypeId;
            }
            break;
        case kSavings:
        case kMoneyMarket:
        case kAsset:
            income = roll < 70;
            if (!income) {
                payee = type == kAsset ? "Account Management Fee" : "Service Charge";
                fee = type == kAsset ? 2500 : 500;
            }
            break;
        case kCreditCard:
            typeId = roll < 97 ? ChargeTypeId : PaymentTypeId;
            break;
        case kLiability:
        case kLineOfCredit:
            typeId = ChargeTypeId;
            payee = "Interest Charge";
            fee = 4500;
            break;
        default:
            break;
    }
    Cents amount = 0;
    RecordId category;
    if (income && !payees_.empty()) {
        typeId = DepositTypeId;
        // Interest in savings, dividends in the brokerage, pay elsewhere.
        std::size_t which = type == kChecking ? 0 : (type == kAsset ? 2 : 1);
        which = std::min(which, payees_.size() - 1);
        payee = payees_[which].name;
        amount = Around(payees_[which].typical);
        category = payees_[which].category;
    } else if (fee != 0) {
        amount = Around(fee);
        category = RecordId::Fixed(kBankChargeCategory);
    } else if (!payees_.empty()) {
        const Payee& p =
            payees_[std::min(payees_.size() - 1, kIncome.size() + Skewed(payees_.size()))];
        if (payee.empty())
            payee = p.name;
        amount = Around(p.typical);
        category = Chance(80) ? p.category : RandomCategory();
    } else {
        amount = Around(5000);
        category = RandomCategory();
    }
    if (typeId == AtmTypeId)
        amount = 2000 * (1 + static_cast<Cents>(Below(10)));
    if (type == kCash)
        amount = std::max<Cents>(100, amount / 4);
    t->SetTypeId(typeId);
    t->SetPayeeName(payee);
    t->SetAmount(amount);
    t->SetCategoryId(category);
    t->SetMemo(Memo());
    t->SetStatus(StatusFor(date));
    if (!classIds_.empty() && Chance(10))
        t->SetClassId(classIds_[Below(classIds_.size())]);
    if ((type == kChecking || type == kCreditCard) && Chance(40)) {
        char fitid[40];
        std::snprintf(fitid, sizeof fitid, "%08u%08u", static_cast<unsigned>(date / 86400),
                      ++onlineIds_);
        t->SetOnlineId(fitid);
    }
    data.FindAccountById(accountIds_[account])->AddTransaction(std::move(t));
}

void Generator::Split(CAccounts& data, std::size_t account, PalmTime date, bool withTransfer) {
    auto t = std::make_unique<CTransaction>();
    t->SetId(NextId());
    t->SetDate(date);
    const bool card = accountTypes_[account] == kCreditCard;
    t->SetTypeId(card ? ChargeTypeId : WithdrawalTypeId);
    const Payee* p =
        payees_.empty()
            ? nullptr
            : &payees_[std::min(payees_.size() - 1, kIncome.size() + Skewed(payees_.size()))];
    const Cents total = Around(p ? p->typical * 3 : 15000) + 100;
    t->SetPayeeName(p ? p->name : std::string());
    t->SetAmount(total);
    t->SetCategoryId(SplitMarkerId);
    t->SetMemo(Memo());
    t->SetStatus(StatusFor(date));
    const std::size_t lines = 2 + Below(3);
    Cents left = total;
    for (std::size_t line = 0; line < lines; ++line) {
        const Cents share = line + 1 == lines ? left : left / 2 + static_cast<Cents>(Below(2));
        left -= share;
        t->SetSplitAmount(line, share);
        t->SetSplitCategoryId(line, line == 0 && p ? p->category : RandomCategory());
        if (Chance(40))
            t->SetSplitMemo(line, kMemos[Below(kMemos.size())]);
        if (!classIds_.empty() && Chance(10))
            t->SetSplitClassId(line, classIds_[Below(classIds_.size())]);
    }
    CAccount& source = *data.FindAccountById(accountIds_[account]);
    if (withTransfer) {
        // The last line moves money to another account, with its mirror.
        const std::size_t line = lines - 1;
        CAccount& target = *data.FindAccountById(accountIds_[OtherAccount(account)]);
        t->SetSplitCategoryId(line, target.Header().GetId());
        auto m = std::make_unique<CTransaction>();
        m->SetId(NextId());
        m->SetDate(date);
        m->SetPayeeName(t->GetPayeeName());
        m->SetTypeId(DepositTypeId);
        m->SetStatus(t->GetStatus() & kStatusMask);
        m->SetCategoryId(source.Header().GetId());
        m->SetLinkedId(t->GetId());
        m->SetClassId(t->GetSplitClassId(line));
        m->SetAmount(source.ConvertAmountTo(target, t->GetSplitAmount(line)));
        m->SetMemo(t->GetSplitMemo(line));
        m->SetSplitIndex(static_cast<std::uint8_t>(line));
        t->SetSplitLinkedId(line, m->GetId());
        target.AddTransaction(std::move(m));
        ++made_.splitTransfers;
    }
    source.AddTransaction(std::move(t));
    ++made_.splits;
}

void Generator::Transfer(CAccounts& data, PalmTime date) {
    // Money leaves the first account or a savings kind of account; cards and
    // loans only receive payments.
    std::size_t from = 0;
    if (!Chance(75)) {
        from = Below(static_cast<std::uint32_t>(accountIds_.size()));
        const std::uint8_t type = accountTypes_[from];
        if (type == kCreditCard || type == kLiability || type == kLineOfCredit || type == kCash)
            from = 0;
    }
    const std::size_t to = TransferTarget(data, from);
    CAccount& a = *data.FindAccountById(accountIds_[from]);
    CAccount& b = *data.FindAccountById(accountIds_[to]);
    const Cents owed = -b.GetBalance(0);
    const Cents spare = a.GetBalance(0) - 300000;
    Cents amount;
    switch (accountTypes_[to]) {
        case kCreditCard:
        case kLineOfCredit:
            // The statement paid off, or a small payment when nothing is owed.
            amount = owed > 2500 ? owed : 2500 + static_cast<Cents>(Below(7500));
            break;
        case kLiability:
            // The monthly instalment until the loan is repaid.
            amount = std::clamp<Cents>(owed, 2500, 45000);
            break;
        case kCash:
            // Topped up when it runs low.
            amount = owed > -20000 ? 20000 + static_cast<Cents>(Below(20000))
                                   : 2000 * (1 + static_cast<Cents>(Below(5)));
            break;
        default:
            // What the first account can spare goes to savings.
            amount = spare > 50000 ? spare / 4 : 10000 + static_cast<Cents>(Below(40000));
            break;
    }
    // Both sides as the data set's own transfer makes them, linked to each
    // other; the saves come once at the end.
    auto s = std::make_unique<CTransaction>();
    s->SetId(NextId());
    s->SetDate(date);
    s->SetPayeeName(transferPayee_);
    s->SetStatus(StatusFor(date));
    s->SetAmount(amount);
    s->SetTypeId(WithdrawalTypeId);
    s->SetCategoryId(b.Header().GetId());
    s->SetMemo(Chance(50) ? kTransferMemos[Below(kTransferMemos.size())] : "");
    auto m = std::make_unique<CTransaction>();
    m->SetId(NextId());
    m->SetDate(date);
    m->SetPayeeName(transferPayee_);
    m->SetStatus(static_cast<std::uint8_t>(s->GetStatus() & ~kStatusMarked));
    m->SetAmount(a.ConvertAmountTo(b, amount));
    m->SetTypeId(DepositTypeId);
    m->SetCategoryId(a.Header().GetId());
    m->SetMemo(s->GetMemo());
    m->SetLinkedId(s->GetId());
    s->SetLinkedId(m->GetId());
    a.AddTransaction(std::move(s));
    b.AddTransaction(std::move(m));
    ++made_.transfers;
}

void Generator::AddTransactions(CAccounts& data) {
    const long long n = std::max(0, options_.transactions);
    const bool canTransfer = accountIds_.size() >= 2;
    const long long transfers = canTransfer ? n * options_.transferPercent / 100 : 0;
    const long long splits = n * options_.splitPercent / 100;
    const long long splitTransfers = canTransfer ? splits * options_.splitTransferPercent / 100 : 0;
    const long long plain = n - 2 * transfers - splits - splitTransfers;
    enum Kind : std::uint8_t { kPlain, kTransfer, kSplit, kSplitTransfer };
    std::vector<std::uint8_t> kinds;
    kinds.reserve(static_cast<std::size_t>(plain + transfers + splits));
    kinds.insert(kinds.end(), static_cast<std::size_t>(plain), kPlain);
    kinds.insert(kinds.end(), static_cast<std::size_t>(transfers), kTransfer);
    kinds.insert(kinds.end(), static_cast<std::size_t>(splits - splitTransfers), kSplit);
    kinds.insert(kinds.end(), static_cast<std::size_t>(splitTransfers), kSplitTransfer);
    // Fisher-Yates with the generator's own draws, the same on every library.
    for (std::size_t i = kinds.size(); i > 1; --i)
        std::swap(kinds[i - 1], kinds[Below(static_cast<std::uint32_t>(i))]);
    // Entered in date order, as a user enters them; the days spread evenly.
    const std::uint64_t days = (lastDay_ - firstDay_) / kSecondsPerDay + 1;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        const std::uint64_t day = k * days / kinds.size();
        const PalmTime date =
            firstDay_ + static_cast<PalmTime>(day * kSecondsPerDay) + 8 * 3600 + Below(13 * 3600);
        switch (kinds[k]) {
            case kPlain:
                Plain(data, PickAccount(), date);
                break;
            case kTransfer:
                Transfer(data, date);
                break;
            default:
                Split(data, PickAccount(), date, kinds[k] == kSplitTransfer);
                break;
        }
    }
    for (std::size_t i = 0; i < accountIds_.size(); ++i) {
        CAccount& account = *data.FindAccountById(accountIds_[i]);
        if (accountTypes_[i] == kChecking)
            account.Header().SetLastCheckNumber(checkNumbers_[i]);
        account.RecalcBalances();
    }
}

int Generator::AddScheduled(CAccounts& data) {
    const int count = std::max(0, options_.scheduled);
    for (int i = 0; i < count; ++i) {
        const ScheduledPlan& plan =
            kScheduledPlans[static_cast<std::size_t>(i) % kScheduledPlans.size()];
        const std::size_t round = static_cast<std::size_t>(i) / kScheduledPlans.size();
        auto item = std::make_unique<CScheduledItem>();
        CTransaction& t = item->EditTemplate();
        t.SetId(NextId());
        // Started some months before the last day, due again after it.
        t.SetDate(lastDay_ - static_cast<PalmTime>((30 + Below(700)) * kSecondsPerDay));
        std::size_t account = round % accountIds_.size();
        if (plan.category == 0 && accountIds_.size() >= 2) {
            account = 0;
            t.SetPayeeName(transferPayee_);
            t.SetCategoryId(accountIds_[1 + round % (accountIds_.size() - 1)]);
        } else {
            t.SetPayeeName(
                round == 0 || payees_.empty()
                    ? std::string(plan.payee)
                    : payees_[(round * 37 + static_cast<std::size_t>(i)) % payees_.size()].name);
            t.SetCategoryId(plan.category == 0 ? RandomCategory() : RecordId::Fixed(plan.category));
        }
        t.SetTypeId(plan.deposit ? DepositTypeId : WithdrawalTypeId);
        t.SetAmount(round == 0 ? plan.amount : Around(plan.amount));
        t.SetMemo(Memo());
        item->SetAccountId(accountIds_[account]);
        item->SetNextDue(lastDay_ + static_cast<PalmTime>((1 + Below(60)) * kSecondsPerDay));
        item->SetFrequency(plan.frequency);
        item->SetRepeatCount(Chance(80) ? kRepeatIndefinitely
                                        : static_cast<std::uint16_t>(6 + Below(30)));
        item->SetEnterMode(i % 4 == 0 ? kEnterAutomatically : 0);
        item->SetDaysInAdvance(static_cast<std::uint16_t>(Below(8)));
        const int r = data.Scheduled().InsertSorted(std::move(item));
        if (r != 0)
            return r;
    }
    made_.scheduled = count;
    return 0;
}

int Generator::Run(const std::string& folder, DataSetSummary* summary) {
    if (options_.accounts < 1 || options_.transactions < 0 || options_.transferPercent < 0 ||
        options_.splitPercent < 0 || options_.splitTransferPercent < 0 ||
        options_.firstAccountPercent < 0 || options_.firstAccountPercent > 100 ||
        options_.splitTransferPercent > 100 || options_.years < 1 || options_.lastMonth < 1 ||
        options_.lastMonth > 12 || options_.lastDay < 1 || options_.lastDay > 31 ||
        options_.transferPercent * 2 +
                options_.splitPercent * (100 + options_.splitTransferPercent) / 100 >
            100)
        return -1;
    const long long last = PalmDay(options_.lastYear, options_.lastMonth, options_.lastDay);
    // The day after the same date that many years before.
    const long long first =
        PalmDay(options_.lastYear - options_.years, options_.lastMonth, 1) + options_.lastDay;
    // The whole span, the schedule's lead and start included, within the range.
    if (first - 730 < 0 || (last + 61) * static_cast<long long>(kSecondsPerDay) >= 0xFFFFFFFFLL)
        return -1;
    firstDay_ = static_cast<PalmTime>(first * kSecondsPerDay);
    lastDay_ = static_cast<PalmTime>(last * kSecondsPerDay);
    transferPayee_ = LoadString(kStringTransfer);

    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return ec.value();
    int r = WriteAccounts(folder);
    if (r != 0)
        return r;
    // The data set's own load: the accounts just written and the default
    // lists, which it creates.
    std::unique_ptr<CAccounts> data;
    AccountsLoadOptions loadOptions;
    loadOptions.makeInstitutionList = FiListFactory();
    r = CAccounts::LoadInto(data, folder, loadOptions);
    if (r != 0)
        return r;
    // The balances start from the opening balances the files hold.
    for (std::size_t i = 0; i < data->GetAccountCount(); ++i)
        data->GetAccountAt(i)->RecalcBalances();
    for (std::size_t i = 0; i < data->Classes().GetCount(false); ++i)
        classIds_.push_back(data->Classes().GetAt(i, false)->GetId());
    AddCategories(data->Categories());
    if ((r = data->Categories().Resort()) != 0)
        return r;
    AddPayees(data->Payees());
    if ((r = data->Payees().Resort()) != 0)
        return r;
    AddTransactions(*data);
    if ((r = AddScheduled(*data)) != 0)
        return r;
    if ((r = data->Save()) != 0)
        return r;

    made_.accounts = static_cast<int>(data->GetAccountCount());
    for (std::size_t i = 0; i < data->GetAccountCount(); ++i)
        made_.transactions += static_cast<int>(data->GetAccountAt(i)->Transactions().size());
    made_.netWorth = data->GetNetWorth(0);
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code sizeError;
        const auto size = entry.file_size(sizeError);
        if (!sizeError)
            made_.bytes += size;
    }
    if (summary)
        *summary = made_;
    return 0;
}

}  // namespace

int GenerateDataSet(const std::string& folder, const DataSetOptions& options,
                    DataSetSummary* summary) {
    Generator generator(options);
    return generator.Run(folder, summary);
}

}  // namespace tallowmere::bench

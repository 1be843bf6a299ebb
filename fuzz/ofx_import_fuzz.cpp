// An OFX statement file imported into a real account of a real data set,
// the way the desktop loads it. The first byte picks the account (bit 0: the
// Visa card, else Checking) and whether its register holds entries that
// downloads can match (bit 1); the rest is the file. A statement that is
// refused must leave the register, the header and every file of the data
// folder as they were; one that is taken must add what it counts, each
// pending review, and adds again only what has no bank id. Either way the
// folder must load again. Each input starts from the same folder.
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/desktop_load_options.h"
#include "exchange/ofx_importer.h"
#include "exchange/online_banking_error.h"
#include "model/accounts.h"
#include "model/error_sink.h"
#include "model/palm_time.h"
#include "model/transaction_type.h"

namespace {

namespace fs = std::filesystem;
using namespace tallowmere;

using Files = std::map<std::string, std::string>;

struct Sink : ErrorSink {
    void Report(const ErrorReport& report) override { ids.push_back(report.string_id); }
    // A refused or unreadable file.
    bool Refused() const {
        for (int id : ids) {
            if ((id >= exchange::kStrOnlineNoMemory && id <= exchange::kStrOnlineUnexpected) ||
                id == exchange::kStringImportUnreadable)
                return true;
        }
        return false;
    }
    std::vector<int> ids;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Files TakeFiles(const fs::path& folder) {
    Files files;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.is_regular_file())
            files[e.path().filename().string()] = ReadAll(e.path());
    }
    return files;
}

struct World {
    fs::path root;
    fs::path data;
    fs::path file;
    Files pristine;
};

World* g_world = nullptr;

void RemoveWorld() {
    std::error_code ec;
    fs::remove_all(g_world->root, ec);
}

AccountsLoadOptions Options() {
    return DesktopLoadOptions(HeaderCipher::None());
}

// A data folder with the default accounts and lists, made once.
World& TheWorld() {
    if (g_world != nullptr)
        return *g_world;
    std::string pattern = (fs::temp_directory_path() / "ofx-import-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    static World world;
    world.root = pattern;
    world.data = world.root / "data";
    world.file = world.root / "statement.ofx";
    g_world = &world;
    std::atexit(RemoveWorld);
    std::unique_ptr<CAccounts> set;
    if (CAccounts::LoadInto(set, world.data.string(), Options()) != 0)
        std::abort();
    world.pristine = TakeFiles(world.data);
    return world;
}

// Puts the folder back as it was made.
void Restore(const World& world) {
    for (const auto& e : fs::directory_iterator(world.data)) {
        if (world.pristine.count(e.path().filename().string()) == 0)
            fs::remove_all(e.path());
    }
    for (const auto& [name, bytes] : world.pristine) {
        const fs::path path = world.data / name;
        if (ReadAll(path) != bytes)
            WriteAll(path, bytes);
    }
}

// Register entries that a statement's rows can match.
void EnterRegister(CAccount& account) {
    const struct {
        int day;
        RecordId type;
        Cents amount;
        std::uint32_t check;
    } rows[] = {
        {5, WithdrawalTypeId, 500, 0},
        {6, CheckTypeId, 10000, 1001},
        {10, DepositTypeId, 150000, 0},
    };
    for (const auto& row : rows) {
        auto t = std::make_unique<CTransaction>();
        t->SetDate(DateFields{0, 0, 12, static_cast<std::int16_t>(row.day), 1, 2024}.ToPalmTime());
        t->SetTypeId(row.type);
        t->SetAmount(row.amount);
        t->SetCheckNumber(row.check);
        t->SetPayeeName("Entered");
        account.AddTransaction(std::move(t));
    }
    if (account.Save() != 0)
        std::abort();
}

std::vector<RecordId> Ids(const CAccount& account) {
    std::vector<RecordId> ids;
    for (const auto& t : account.Transactions())
        ids.push_back(t->GetId());
    return ids;
}

struct Imported {
    bool refused;
    std::size_t count;
};

Imported Import(CAccounts& set, CAccount& target, const World& world) {
    Sink sink;
    SetErrorSink(&sink);
    exchange::COFXImporter importer;
    importer.SetAccounts(&set);
    importer.SetTargetAccount(&target);
    // A file that cannot be read answers its error, and says so.
    importer.Import(world.file.string());
    SetErrorSink(nullptr);
    return {sink.Refused(), importer.GetImportedCount()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    World& world = TheWorld();
    Restore(world);
    WriteAll(world.file, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    std::unique_ptr<CAccounts> set;
    if (CAccounts::LoadInto(set, world.data.string(), Options()) != 0)
        std::abort();
    CAccount* target = set->FindAccountByName((data[0] & 1) != 0 ? "Visa" : "Checking");
    if (target == nullptr)
        std::abort();
    if ((data[0] & 2) != 0)
        EnterRegister(*target);

    const Files files = TakeFiles(world.data);
    const std::vector<RecordId> before = Ids(*target);
    const auto header = target->Header().GetBytes();
    const Cents online = target->GetOnlineBalance();

    const Imported first = Import(*set, *target, world);
    const auto& registered = target->Transactions();
    if (first.refused) {
        if (Ids(*target) != before || target->Header().GetBytes() != header ||
            target->GetOnlineBalance() != online || first.count != 0 ||
            TakeFiles(world.data) != files)
            std::abort();
    } else {
        if (registered.size() != before.size() + first.count)
            std::abort();
        // The new ones are downloads pending review, stored as magnitudes.
        std::size_t withoutId = 0;
        for (const auto& t : registered) {
            const bool known = std::find(before.begin(), before.end(), t->GetId()) != before.end();
            if (known)
                continue;
            if (t->GetReviewState() != 1 || t->GetAmount() < 0)
                std::abort();
            if (t->OnlineIdView().empty())
                ++withoutId;
        }
        // The same file again adds only what no bank id identifies.
        const Imported again = Import(*set, *target, world);
        if (again.refused || again.count != withoutId)
            std::abort();
    }

    std::unique_ptr<CAccounts> reloaded;
    if (CAccounts::LoadInto(reloaded, world.data.string(), Options()) != 0)
        std::abort();
    return 0;
}

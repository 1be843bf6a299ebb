// The payee look-up list: its file layout (and the old id-first one), texts
// cut to the stored width, and the mapping of downloaded payee texts.
#include "model/payee_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list_test_items.h"
#include "model/transaction.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Names;
using Strings = std::vector<std::string>;

RecordId Id(std::uint8_t seed) {
    RecordId id;
    for (std::size_t i = 0; i < 8; ++i)
        id.bytes[i] = static_cast<std::uint8_t>(seed + i);
    return id;
}

std::string IdBytes(const RecordId& id) {
    return std::string(reinterpret_cast<const char*>(id.bytes.data()), 8);
}

std::string Field33(const std::string& text) {
    return text + std::string(33 - text.size(), '\0');
}

// One 74-byte record from the layout table: text, id, payee.
std::string RecordBytes(const std::string& text, const RecordId& id, const std::string& payee) {
    return Field33(text) + IdBytes(id) + Field33(payee);
}
std::string OldRecordBytes(const std::string& text, const RecordId& id, const std::string& payee) {
    return IdBytes(id) + Field33(text) + Field33(payee);
}

using FileRecord = test::ListFileRecord;

std::string LookupFile(const std::vector<FileRecord>& records) {
    return test::ListFileBytes("CPayeeLookupItem", records);
}

std::vector<std::uint8_t> Vec(const std::string& s) {
    return {s.begin(), s.end()};
}

class PayeeLookupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = test::MakeTempDir("lookup") + "/PayeeLookupList.lst";
        list_.SetPath(path_);
    }

    std::string path_;
    CPayeeLookupList list_;
    test::CapturingSink sink_;
};

TEST_F(PayeeLookupTest, SavesTheRecordLayoutAndReadsItBack) {
    CPayeeLookupItem* shell = list_.AddMapping("SHELL OIL 1234", "Shell");
    shell->SetId(Id(0x10));
    CPayeeLookupItem* atm = list_.AddMapping("ATM WITHDRAWAL", "");
    atm->SetId(Id(0x20));
    atm->SetRecordNumber(3);
    atm->SetAttribute(0);
    ASSERT_EQ(list_.Save(), 0);

    const std::string expected =
        LookupFile({{3, 0x00, RecordBytes("ATM WITHDRAWAL", Id(0x20), "")},
                    {0, 0x40, RecordBytes("SHELL OIL 1234", Id(0x10), "Shell")}});
    EXPECT_EQ(test::ReadFileBytes(path_), expected);

    CPayeeLookupList loaded;
    ASSERT_EQ(loaded.LoadData(Vec(expected)), 0);
    EXPECT_EQ(Names(loaded), (Strings{"ATM WITHDRAWAL", "SHELL OIL 1234"}));
    const CPayeeLookupItem* item = loaded.FindById(Id(0x10));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetName(), "SHELL OIL 1234");
    EXPECT_EQ(item->GetPayee(), "Shell");
    EXPECT_EQ(loaded.FindById(Id(0x20))->GetRecordNumber(), 3);
}

TEST_F(PayeeLookupTest, OldIdFirstRecordsConvertOnlyWhenTheLoadSaysSo) {
    const std::string oldFile = LookupFile({{0, 0x00, OldRecordBytes("ACME", Id(0x30), "Acme")}});
    list_.SetOldFormatRecords(true);
    ASSERT_EQ(list_.LoadData(Vec(oldFile)), 0);
    const CPayeeLookupItem* item = list_.FindByText("acme");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetId(), Id(0x30));
    EXPECT_EQ(item->GetPayee(), "Acme");
    ASSERT_EQ(list_.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_),
              LookupFile({{0, 0x00, RecordBytes("ACME", Id(0x30), "Acme")}}));

    CPayeeLookupList plain;
    ASSERT_EQ(plain.LoadData(Vec(oldFile)), 0);
    EXPECT_EQ(Names(plain), (Strings{IdBytes(Id(0x30)) + "ACME"}));
}

TEST_F(PayeeLookupTest, NewItemsKeepTheStoredWidthAndTheirOwnId) {
    const std::string bank(40, 'B');
    const CPayeeLookupItem a(bank, std::string(50, 'p'));
    EXPECT_EQ(a.GetName(), std::string(32, 'B'));
    EXPECT_EQ(a.GetPayee(), std::string(32, 'p'));
    EXPECT_EQ(a.Record()[32], 0);
    EXPECT_EQ(a.Record()[73], 0);
    EXPECT_EQ(a.GetAttribute(), CPalmListItem::kModified);
    const CPayeeLookupItem b(bank, "");
    EXPECT_FALSE(a.GetId().IsNull());
    EXPECT_NE(a.GetId(), b.GetId());
    EXPECT_TRUE(CPayeeLookupItem(CObject::ForLoad{}).GetId().IsNull());
}

TEST_F(PayeeLookupTest, ALongBankTextDownloadedTwiceMapsThroughOneItem) {
    const std::string bank = "POS PURCHASE GREENGROCER 00412 SPRINGFIELD";  // 42 bytes
    CTransaction first;
    first.SetAttributes(0);
    ASSERT_EQ(list_.ApplyToDownload(first, bank), 0);
    EXPECT_EQ(first.GetPayeeName(), bank.substr(0, 32));
    EXPECT_TRUE(first.IsModified());
    ASSERT_EQ(list_.GetCount(true), 1u);
    CPayeeLookupItem* item = list_.FindByText(bank);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetName(), bank.substr(0, 32));
    EXPECT_EQ(item->GetPayee(), "");
    EXPECT_EQ(first.GetPayeeLookupId(), item->GetId());

    CTransaction second;
    ASSERT_EQ(list_.ApplyToDownload(second, bank), 0);
    EXPECT_EQ(list_.GetCount(true), 1u);
    EXPECT_EQ(second.GetPayeeLookupId(), item->GetId());

    // Once the user names the payee, later downloads show that name, also
    // when the bank changes the letter case.
    item->SetPayee("Greengrocer");
    ASSERT_EQ(list_.ReplaceItem(item), 0);
    CPayeeLookupList reloaded;
    ASSERT_EQ(reloaded.Load(path_), 0);
    std::string lower = bank;
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    CTransaction third;
    ASSERT_EQ(reloaded.ApplyToDownload(third, lower), 0);
    EXPECT_EQ(third.GetPayeeName(), "Greengrocer");
    EXPECT_EQ(third.GetPayeeLookupId(), item->GetId());
    EXPECT_EQ(reloaded.GetCount(true), 1u);
}

TEST_F(PayeeLookupTest, DeletedItemsNoLongerMapOrResolve) {
    CPayeeLookupItem* item = list_.AddMapping("ACME", "Acme");
    const RecordId id = item->GetId();
    EXPECT_EQ(list_.FindById(id), item);
    ASSERT_EQ(list_.DeleteItem(item), 0);
    EXPECT_EQ(list_.FindById(id), nullptr);
    EXPECT_EQ(list_.FindById(id, true), item);

    CTransaction t;
    ASSERT_EQ(list_.ApplyToDownload(t, "ACME"), 0);
    EXPECT_EQ(t.GetPayeeName(), "ACME");
    EXPECT_NE(t.GetPayeeLookupId(), id);
    EXPECT_EQ(list_.FindById(t.GetPayeeLookupId()), list_.FindByText("acme"));
    EXPECT_EQ(list_.GetCount(false), 1u);
    EXPECT_EQ(list_.GetCount(true), 2u);
}

TEST_F(PayeeLookupTest, AFailedSaveIsReported) {
    list_.SetPath(path_ + "/no/such/folder/PayeeLookupList.lst");
    int saved = 0;
    CPayeeLookupItem* item = list_.AddMapping("ACME", "", &saved);
    EXPECT_NE(item, nullptr);
    EXPECT_EQ(saved, -1);
    CTransaction t;
    EXPECT_EQ(list_.ApplyToDownload(t, "OTHER BANK TEXT"), -1);
    EXPECT_EQ(t.GetPayeeLookupId(), list_.FindByText("other bank text")->GetId());
    EXPECT_FALSE(sink_.reports.empty());
}

}  // namespace
}  // namespace tallowmere

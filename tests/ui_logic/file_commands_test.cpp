#include "ui/logic/file_commands.h"

#include <gtest/gtest.h>

namespace tallowmere::ui {
namespace {

TEST(ImportKindOfFileTest, ChoosesTheImporterByTheExtensionWithCase) {
    struct Case {
        const char* path;
        ImportKind kind;
    };
    const Case cases[] = {
        {"/home/ann/a.csv", ImportKind::kCsv},        {"/home/ann/a.CSV", ImportKind::kNone},
        {"/home/ann/b.qif", ImportKind::kQif},        {"/home/ann/c.ofx", ImportKind::kOfx},
        {"/home/ann/d.qfx", ImportKind::kOfx},        {"/home/ann/e.txt", ImportKind::kNone},
        {"/home/ann/noext", ImportKind::kNone},       {"/home/ann/dir.csv/", ImportKind::kNone},
        {"/home/ann/old.csv.bak", ImportKind::kNone}, {"/home/ann.csv/notes", ImportKind::kNone},
        {"/home/ann/two.qif.csv", ImportKind::kCsv},  {"/home/ann/.csv", ImportKind::kCsv},
        {"rel/f\xE9.qif", ImportKind::kQif},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.kind, ImportKindOfFile(c.path)) << c.path;
}

TEST(ImportFilterStringTest, EachKindHasItsFilterText) {
    EXPECT_EQ(353, ImportFilterString(ImportKind::kCsv));
    EXPECT_EQ(350, ImportFilterString(ImportKind::kQif));
    EXPECT_EQ(354, ImportFilterString(ImportKind::kOfx));
    EXPECT_EQ(0, ImportFilterString(ImportKind::kNone));
}

}  // namespace
}  // namespace tallowmere::ui

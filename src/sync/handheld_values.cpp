#include "sync/handheld_values.h"

#include <cmath>
#include <cstring>
#include <ctime>

#include "platform/text_1252.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

double CentsToAmount(Cents cents) {
    if (cents == 0)
        return 0.0;
    return static_cast<double>(cents) / 100.0;
}

std::optional<Cents> TryAmountToCents(double amount) {
    if (amount == 0.0)
        return Cents{0};
    if (!std::isfinite(amount))
        return std::nullopt;
    double scaled = std::trunc((amount > 0.0 ? amount + 0.005 : amount - 0.005) * 100.0);
    // 2^63: the first magnitude a signed 64-bit count cannot hold.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(scaled > -kLimit && scaled < kLimit))
        return std::nullopt;
    return static_cast<Cents>(scaled);
}

Cents AmountToCents(double amount) {
    return TryAmountToCents(amount).value_or(0);
}

int TimeZoneBiasMinutes() {
    tzset();
    // timezone: seconds west of UTC outside daylight saving.
    return static_cast<int>(timezone / 60);
}

std::uint32_t DateOffset(int biasMinutes) {
    return kHandheldEpochOffset -
           static_cast<std::uint32_t>(60) * static_cast<std::uint32_t>(biasMinutes);
}

PalmTime HandheldToDesktopDate(std::int64_t handheld, std::uint32_t offset) {
    return static_cast<PalmTime>(static_cast<std::uint32_t>(handheld) + offset);
}

std::int32_t DesktopToHandheldDate(PalmTime desktop, std::uint32_t offset) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(desktop - offset));
}

RecordId UidFromBlob(const void* data, int bytes) {
    if (data == nullptr || bytes != 8)
        return kNoneId;
    return RecordId::FromBytes(static_cast<const std::uint8_t*>(data));
}

std::uint8_t FixedCode(const RecordId& id) {
    return RecordId::IsLowZero(id) ? id.bytes[7] : 0;
}

std::string TextFromHandheld(const unsigned char* utf8, int bytes, std::size_t maxChars) {
    if (utf8 == nullptr || bytes <= 0)
        return {};
    std::string text = platform::Utf8ToCp1252(
        std::string_view(reinterpret_cast<const char*>(utf8), static_cast<std::size_t>(bytes)));
    // 1252 is one byte a character, so the cut never splits one.
    std::size_t end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    if (text.size() > maxChars)
        text.resize(maxChars);
    return text;
}

std::string TextToHandheld(std::string_view cp1252) {
    return platform::Cp1252ToUtf8(cp1252);
}

std::string AccountCategoryName(std::string_view accountName) {
    std::string name = "[";
    name.append(accountName);
    name += ']';
    return name;
}

std::string AccountNameOfCategory(std::string_view categoryName) {
    if (!IsAccountCategoryName(categoryName))
        return {};
    categoryName.remove_prefix(1);
    if (!categoryName.empty() && categoryName.back() == ']')
        categoryName.remove_suffix(1);
    return std::string(categoryName);
}

RecordId ColumnUid(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column) {
    // The blob pointer first, then its size, as the library asks.
    const void* data = db.ColumnBlob(statement, column);
    return UidFromBlob(data, db.ColumnBytes(statement, column));
}

std::string ColumnModelText(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column,
                            std::size_t maxChars) {
    const unsigned char* text = db.ColumnText(statement, column);
    return TextFromHandheld(text, db.ColumnBytes(statement, column), maxChars);
}

Cents ColumnCents(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column) {
    return AmountToCents(db.ColumnDouble(statement, column));
}

PalmTime ColumnDate(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column,
                    std::uint32_t offset) {
    return HandheldToDesktopDate(db.ColumnInt64(statement, column), offset);
}

int ColumnBlobBytes(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column, std::uint8_t* out,
                    int maxBytes) {
    const void* data = db.ColumnBlob(statement, column);
    int bytes = db.ColumnBytes(statement, column);
    if (data == nullptr || bytes <= 0 || maxBytes <= 0)
        return 0;
    int n = bytes < maxBytes ? bytes : maxBytes;
    std::memcpy(out, data, static_cast<std::size_t>(n));
    return n;
}

int BindUid(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int index, const RecordId& id) {
    return db.BindBlob(statement, index, id.bytes.data(), static_cast<int>(id.bytes.size()),
                       SQLITE_TRANSIENT);
}

int BindModelText(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int index,
                  std::string_view cp1252) {
    std::string utf8 = TextToHandheld(cp1252);
    if (utf8.size() > static_cast<std::size_t>(kSqliteMaxValueBytes))
        return SQLITE_TOOBIG;
    return db.BindText(statement, index, utf8.data(), static_cast<int>(utf8.size()),
                       SQLITE_TRANSIENT);
}

int BindCents(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int index, Cents cents) {
    return db.BindDouble(statement, index, CentsToAmount(cents));
}

int BindDate(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int index, PalmTime desktop,
             std::uint32_t offset) {
    return db.BindInt(statement, index, DesktopToHandheldDate(desktop, offset));
}

}  // namespace tallowmere::handheld

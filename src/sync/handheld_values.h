#pragma once
// Values as the handheld database holds them and as the desktop model keeps
// them: amounts, dates, record ids and texts, plus the column reads and
// binds that apply these conversions.
#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/money.h"
#include "model/palm_time.h"
#include "model/record_id.h"

namespace tallowmere {
class CSQLiteDBWrapper;
}

namespace tallowmere::handheld {

// Amounts: REAL units on the handheld, hundredths on the desktop.
double CentsToAmount(Cents cents);
// Rounds half away from zero at the third decimal, in double precision, then
// truncates: 2.675 gives 268, 1.005 gives 100. Empty for a value that is not
// finite or does not fit in Cents.
std::optional<Cents> TryAmountToCents(double amount);
// The same with 0 for the values TryAmountToCents refuses.
Cents AmountToCents(double amount);

// Seconds from 1904-01-01 to 2001-01-01.
inline constexpr std::uint32_t kHandheldEpochOffset = 3061152000u;

// The standard time-zone bias in minutes (UTC = local + bias), daylight
// saving left out, from the process's TZ.
int TimeZoneBiasMinutes();
// The date offset for a bias; taken once per merge so that every date of a
// run moves by the same amount.
std::uint32_t DateOffset(int biasMinutes);
// Desktop date = handheld value + offset, modulo 2^32. The handheld stores
// 64-bit integers; only the low 32 bits count.
PalmTime HandheldToDesktopDate(std::int64_t handheld, std::uint32_t offset);
// Handheld value = desktop date - offset, modulo 2^32, as the signed 32-bit
// value that is written (dates before 2001 are negative).
std::int32_t DesktopToHandheldDate(PalmTime desktop, std::uint32_t offset);

// A uid blob of exactly 8 bytes is the record id byte for byte; NULL or any
// other length is the zero id, which never matches a record.
RecordId UidFromBlob(const void* data, int bytes);
inline bool IsMatchableUid(const RecordId& id) {
    return !id.IsNull();
}

// The last id byte of a built-in record (first seven bytes zero), else 0.
std::uint8_t FixedCode(const RecordId& id);

// Transaction status bits 6-7 and the handheld's status code 0-3.
inline int StatusToHandheld(std::uint8_t statusBits) {
    return (statusBits >> 6) & 3;
}
inline std::uint8_t StatusFromHandheld(std::int64_t code) {
    return static_cast<std::uint8_t>((code & 3) << 6);
}

// Texts: UTF-8 in the database, Windows-1252 in the model. Reading converts
// first (malformed UTF-8 and characters outside 1252 become "?"), then stops
// at a NUL and keeps at most maxChars characters.
std::string TextFromHandheld(const unsigned char* utf8, int bytes, std::size_t maxChars);
std::string TextToHandheld(std::string_view cp1252);

// The CATEGORIES row that stands for an account is named "[" name "]"; such
// rows are never desktop categories. The account name drops the "[" and a
// closing "]" when there is one; an empty result names no account.
std::string AccountCategoryName(std::string_view accountName);
inline bool IsAccountCategoryName(std::string_view categoryName) {
    return !categoryName.empty() && categoryName.front() == '[';
}
std::string AccountNameOfCategory(std::string_view categoryName);

// Column reads through the wrapper; a NULL or missing value reads as the
// empty or zero value.
RecordId ColumnUid(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column);
std::string ColumnModelText(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column,
                            std::size_t maxChars);
Cents ColumnCents(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column);
PalmTime ColumnDate(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column,
                    std::uint32_t offset);
// At most maxBytes of a blob into out; the count copied (0 for NULL).
int ColumnBlobBytes(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int column, std::uint8_t* out,
                    int maxBytes);

// Binds; the library copies every text and blob, so temporaries are safe.
int BindUid(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int index, const RecordId& id);
int BindModelText(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int index,
                  std::string_view cp1252);
int BindCents(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int index, Cents cents);
int BindDate(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int index, PalmTime desktop,
             std::uint32_t offset);

}  // namespace tallowmere::handheld

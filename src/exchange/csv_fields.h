#pragma once
// The fields of the program's CSV rows: every field quoted on writing, with
// quotes doubled (RFC 4180); quoted and unquoted fields on reading.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere::exchange {

// Appends the text as one quoted field: quotes doubled, and a line break
// (CR LF, CR or LF) written as a vertical tab, which the reader turns back
// into a line feed, so a row always stays on one line.
void AppendCsvField(std::string& row, std::string_view text);

enum class CsvRowResult {
    kOk,
    kUnclosedQuote,  // a quoted field runs to the end of the text
};

// Reads one row from text at pos: fields separated by commas up to a line
// end outside quotes or the end of the text. Blanks before a field are
// skipped; a quoted field ends at a quote not followed by another ("" is one
// quote), and what follows it up to the next comma is skipped; line breaks
// inside quotes become line feeds; an unquoted field ends at a comma or line
// end, trailing blanks dropped. A vertical tab becomes a line feed. pos ends
// at the row's line end (or the end of the text).
CsvRowResult ReadCsvRow(std::string_view text, std::size_t& pos, std::vector<std::string>& fields);

}  // namespace tallowmere::exchange

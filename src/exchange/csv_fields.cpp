#include "exchange/csv_fields.h"

#include "exchange/line_breaks.h"

namespace tallowmere::exchange {
namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

void AppendCsvField(std::string& row, std::string_view text) {
    row += '"';
    for (const char c : EncodeLineBreaks(text)) {
        if (c == '"')
            row += '"';
        row += c;
    }
    row += '"';
}

CsvRowResult ReadCsvRow(std::string_view text, std::size_t& pos, std::vector<std::string>& fields) {
    fields.clear();
    std::size_t i = pos;
    for (;;) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        std::string field;
        if (i < text.size() && text[i] == '"') {
            ++i;
            bool closed = false;
            while (i < text.size()) {
                const char c = text[i];
                if (c == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (c == '\r') {
                    field += '\n';
                    if (i + 1 < text.size() && text[i + 1] == '\n')
                        ++i;
                } else if (c == kLineBreakStandIn) {
                    field += '\n';
                } else {
                    field += c;
                }
                ++i;
            }
            if (!closed) {
                fields.push_back(std::move(field));
                pos = text.size();
                return CsvRowResult::kUnclosedQuote;
            }
            // Whatever stands between the closing quote and the comma is not
            // part of the field.
            while (i < text.size() && text[i] != ',' && !IsLineEnd(text[i]))
                ++i;
        } else {
            const std::size_t start = i;
            while (i < text.size() && text[i] != ',' && !IsLineEnd(text[i]))
                ++i;
            std::size_t end = i;
            while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t'))
                --end;
            field.assign(text.substr(start, end - start));
            DecodeLineBreaks(field);
        }
        fields.push_back(std::move(field));
        if (i < text.size() && text[i] == ',') {
            ++i;
            continue;
        }
        pos = i;
        return CsvRowResult::kOk;
    }
}

}  // namespace tallowmere::exchange

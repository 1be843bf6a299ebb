#pragma once
// Reads a text line by line as the importers need it: CR, LF and CR LF end
// a line, blanks are trimmed at both ends and blank lines are skipped. Lines
// have no length limit, so every row that the exporters write reads back.
#include <cstddef>
#include <string_view>

namespace tallowmere::exchange {

class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next non-blank line, trimmed; false (line empty) at the end.
    bool Next(std::string_view& line);
    // The following Next gives the line of the last Next again.
    void PutBack();

    // The 1-based number of the line that Next gave last (0 before), as an
    // editor counts lines.
    std::size_t LineNumber() const { return current_; }
    // The offset of the first character of the line that Next gave last
    // (after the trimmed blanks).
    std::size_t LineStart() const { return lineStart_; }
    // The offset after that line and its line end.
    std::size_t Position() const { return position_; }
    // Moves on to offset (not back; clamped to the text), counting the line
    // ends passed; a line end at offset is passed too. For readers whose
    // record went on past the end of the line Next gave.
    void SkipTo(std::size_t offset);
    bool AtEnd() const { return position_ >= text_.size(); }
    std::string_view Text() const { return text_; }

  private:
    // Passes the line end at position_, if any.
    void PassLineEnd();

    std::string_view text_;
    std::size_t position_ = 0;
    // The physical line that position_ lies in.
    std::size_t physical_ = 1;
    std::size_t current_ = 0;
    std::size_t lineStart_ = 0;
    // Where the last Next began, for PutBack.
    std::size_t backPosition_ = 0;
    std::size_t backPhysical_ = 1;
    std::size_t backCurrent_ = 0;
};

// Blanks (space, tab) trimmed at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace tallowmere::exchange

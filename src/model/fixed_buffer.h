#pragma once
// Filling the fixed-width text fields of records: at most n - 1 bytes of the
// text, then a NUL; the rest of the field is zeroed so that a record's bytes
// never carry leftovers of an earlier text.
#include <cstddef>

namespace tallowmere {

// Copies text (null gives an empty field) into the n-byte field. A field of
// size 0 is left alone. Record texts are Windows-1252, one byte a character,
// so the cut never splits a character.
void CopyToFixedBuffer(char* field, const char* text, std::size_t n);

}  // namespace tallowmere

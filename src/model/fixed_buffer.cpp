#include "model/fixed_buffer.h"

#include <cstring>

namespace tallowmere {

void CopyToFixedBuffer(char* field, const char* text, std::size_t n) {
    if (field == nullptr || n == 0)
        return;
    std::size_t length = 0;
    if (text != nullptr) {
        while (length < n - 1 && text[length] != '\0')
            ++length;
        std::memcpy(field, text, length);
    }
    std::memset(field + length, 0, n - length);
}

}  // namespace tallowmere

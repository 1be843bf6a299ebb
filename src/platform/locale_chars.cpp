#include "platform/locale_chars.h"

#include <langinfo.h>
#include <locale.h>

#include <utility>

namespace tallowmere::platform {
namespace {

// Owns a locale object for the length of one read.
class LocaleHandle {
  public:
    explicit LocaleHandle(locale_t handle) : handle_(handle) {}
    ~LocaleHandle() {
        if (handle_ != locale_t{})
            freelocale(handle_);
    }
    LocaleHandle(const LocaleHandle&) = delete;
    LocaleHandle& operator=(const LocaleHandle&) = delete;

    locale_t get() const { return handle_; }

  private:
    locale_t handle_;
};

std::string TextOrEmpty(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

}  // namespace

bool ReadLocaleSeparators(std::string& decimal, std::string& thousands) {
    // "" takes LC_ALL, LC_NUMERIC or LANG from the environment. A name that
    // names no installed locale makes newlocale fail; the caller then keeps
    // its defaults.
    const LocaleHandle numeric(newlocale(LC_NUMERIC_MASK, "", locale_t{}));
    if (numeric.get() == locale_t{})
        return false;
    std::string dec = TextOrEmpty(nl_langinfo_l(RADIXCHAR, numeric.get()));
    std::string sep = TextOrEmpty(nl_langinfo_l(THOUSEP, numeric.get()));
    decimal = std::move(dec);
    thousands = std::move(sep);
    return true;
}

bool ReadLocaleDateFormat(std::string& dateFormat) {
    const LocaleHandle time(newlocale(LC_TIME_MASK, "", locale_t{}));
    if (time.get() == locale_t{})
        return false;
    dateFormat = TextOrEmpty(nl_langinfo_l(D_FMT, time.get()));
    return true;
}

}  // namespace tallowmere::platform

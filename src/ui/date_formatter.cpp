#include "ui/date_formatter.h"

#include <QDate>

#include "platform/text_1252.h"

namespace tallowmere::ui {
namespace {

constexpr std::size_t kMaxDateText = 256;

}  // namespace

DateFormatter MakeDateFormatter(const QLocale& locale) {
    // QLocale is reentrant: each call reads its own copy, the sync thread's too.
    return [locale](PalmTime t, unsigned flags) {
        const DateFields fields = DateFields::FromPalmTime(t);
        const QDate date(fields.year, fields.month, fields.day);
        const QString text = locale.toString(
            date, (flags & kDateLongDate) != 0 ? QLocale::LongFormat : QLocale::ShortFormat);
        const QByteArray utf8 = text.toUtf8();
        std::string out = platform::Utf8ToCp1252(
            std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        if (out.size() > kMaxDateText)
            out.resize(kMaxDateText);
        return out;
    };
}

}  // namespace tallowmere::ui

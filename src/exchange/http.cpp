#include "exchange/http.h"

#include <time.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "exchange/stream_compound.h"

namespace tallowmere::exchange {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The decimal field of the given number of digits at text[at].
bool ReadField(const char* text, int at, int digits, int& value) {
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = text[at + i];
        if (!IsDigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

void HttpRequest::SetVersion(const char* text, std::ptrdiff_t length) {
    if (text == nullptr) {
        version_.clear();
        hasVersion_ = false;
        return;
    }
    const std::size_t n = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
    version_.assign(text, n);
    hasVersion_ = true;
}

bool HttpRequest::SetUrl(std::string_view url) {
    HttpUrlSplit split = SplitHttpUrl(url);
    urlError_ = split.error;
    hasUrl_ = true;
    url_ = split.error == 0 ? std::move(split.url) : HttpUrl{};
    portGiven_ = false;
    return split.error == 0;
}

bool HttpRequest::AddHeader(const char* line) {
    if (line == nullptr)
        return false;
    for (auto& slot : headers_) {
        if (!slot) {
            slot.reset(new (std::nothrow) ReadOnlyMemoryStream(line, std::strlen(line)));
            return slot != nullptr;
        }
    }
    return false;
}

std::string_view HttpRequest::Header(std::size_t slot) const {
    if (slot >= headers_.size() || !headers_[slot])
        return {};
    const auto size = headers_[slot]->GetSize();
    return std::string_view(reinterpret_cast<const char*>(headers_[slot]->Data()),
                            size ? *size : 0);
}

std::unique_ptr<Stream> HttpRequest::BuildRequestText(bool absoluteUri) {
    std::unique_ptr<Win32SmallStream> text = CreateMemoryStream();
    if (!text)
        return nullptr;
    std::size_t bodySize = 0;
    if (body_) {
        const auto size = body_->GetSize();
        if (!size)
            return nullptr;
        bodySize = *size;
    }
    try {
        std::string head;
        head.reserve(256 + url_.host.size() + url_.path.size());
        head += method_ != nullptr ? method_ : "GET";
        head += ' ';
        if (absoluteUri) {
            head += url_.secure ? "https://" : "http://";
            head += url_.host;
        }
        head += url_.path.empty() ? std::string_view("/") : std::string_view(url_.path);
        head += " HTTP/";
        head += hasVersion_ ? std::string_view(version_) : std::string_view("1.1");
        head += "\r\nHost: ";
        head += url_.host;
        head += "\r\nContent-Type: ";
        head += contentType_ != nullptr ? contentType_ : "text";
        head += "\r\nContent-Length: ";
        head += std::to_string(bodySize);
        head += "\r\n";
        for (std::size_t i = 0; i < headers_.size(); ++i) {
            if (!headers_[i])
                continue;
            head += Header(i);
            head += "\r\n";
        }
        if (absoluteUri)
            head += "Cache-Control: no-store, no-cache\r\nPragma: no-cache\r\n";
        head += "\r\n";
        if (!text->WriteText(head) || !text->Seek(0))
            return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!body_)
        return text;
    std::unique_ptr<Stream> compound(new (std::nothrow)
                                         CompoundStream(std::move(text), std::move(body_)));
    return compound;
}

int GetStatus(HttpResponse& response) {
    if (response.errorCode != 0)
        return response.errorCode;
    if (!response.stream)
        return kHttpStatusNoStream;
    const std::optional<HttpResponseHead> head = ParseHttpResponseHead(*response.stream);
    if (!head)
        return kHttpInvalidServerResponse;
    if (head->status >= 200 && head->status <= 299)
        return 0;
    return head->status;
}

Stream* GetBody(HttpResponse& response) {
    if (!response.stream)
        return nullptr;
    if (response.bodyOffset == 0) {
        const std::optional<HttpResponseHead> head = ParseHttpResponseHead(*response.stream);
        if (!head)
            return nullptr;
        response.bodyOffset = head->bodyOffset;
    }
    if (!response.stream->Seek(response.bodyOffset))
        return nullptr;
    return response.stream.get();
}

Http::~Http() = default;

PalmTime Http::Now() {
    return PalmTimeNow();
}

long Http::GetTimeZoneBias() {
    tzset();
    return timezone;
}

const char* Http::FormatIsoDateTime(PalmTime date, bool utc) {
    DateFields f = utc ? PalmTimeToUtcFields(date) : DateFields::FromPalmTime(date);
    char suffix[8] = "Z";
    if (!utc) {
        struct tm t {};
        t.tm_year = f.year - 1900;
        t.tm_mon = f.month - 1;
        t.tm_mday = f.day;
        t.tm_hour = f.hour;
        t.tm_min = f.minute;
        t.tm_sec = f.second;
        t.tm_isdst = -1;
        long offset = 0;
        if (mktime(&t) != static_cast<time_t>(-1))
            offset = t.tm_gmtoff;
        const char sign = offset < 0 ? '-' : '+';
        const long magnitude = offset < 0 ? -offset : offset;
        std::snprintf(suffix, sizeof suffix, "%c%02ld%02ld", sign, (magnitude / 3600) % 100,
                      (magnitude % 3600) / 60);
    }
    std::snprintf(isoText_, sizeof isoText_, "%d-%02d-%02dT%02d:%02d:%02d%s", f.year, f.month,
                  f.day, f.hour, f.minute, f.second, suffix);
    return isoText_;
}

PalmTime Http::ParseIsoDateTime(const char* text) {
    if (text == nullptr || std::strlen(text) < 19)
        return 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!ReadField(text, 0, 4, year) || !ReadField(text, 5, 2, month) ||
        !ReadField(text, 8, 2, day) || !ReadField(text, 11, 2, hour) ||
        !ReadField(text, 14, 2, minute) || !ReadField(text, 17, 2, second))
        return 0;
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = static_cast<std::int16_t>(hour);
    f.minute = static_cast<std::int16_t>(minute);
    f.second = static_cast<std::int16_t>(second);
    if (!f.IsValid())
        return 0;
    if (text[19] == 'Z') {
        // UTC to local time through the runtime's zone rules.
        struct tm t {};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = hour;
        t.tm_min = minute;
        t.tm_sec = second;
        const time_t when = timegm(&t);
        struct tm local {};
        if (when == static_cast<time_t>(-1) || localtime_r(&when, &local) == nullptr)
            return 0;
        f.year = static_cast<std::int16_t>(local.tm_year + 1900);
        f.month = static_cast<std::int16_t>(local.tm_mon + 1);
        f.day = static_cast<std::int16_t>(local.tm_mday);
        f.hour = static_cast<std::int16_t>(local.tm_hour);
        f.minute = static_cast<std::int16_t>(local.tm_min);
        f.second = static_cast<std::int16_t>(local.tm_sec);
    }
    return f.TryToPalmTime().value_or(0);
}

}  // namespace tallowmere::exchange

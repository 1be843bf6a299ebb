// The tag-table driven SGML reader. It reads what banks and files really
// send: OFX 1.x with or without end tags on data elements, tags outside the
// table (skipped), CDATA sections in data texts, and the XML form of OFX 2.x
// behind its declaration.
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "exchange/sgml_document.h"
#include "platform/text_1252.h"

namespace tallowmere::exchange {
namespace {

bool IsTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void Trim(std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && IsTrimmed(text[end - 1]))
        --end;
    std::size_t begin = 0;
    while (begin < end && IsTrimmed(text[begin]))
        ++begin;
    if (begin != 0 || end != text.size())
        text = text.substr(begin, end - begin);
}

bool HasHighByte(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

bool AsciiEqualsNoCase(std::string_view a, std::string_view b) {
    return platform::CompareNoCase1252(a, b) == 0;
}

// The encoding an XML declaration gives ("?xml version=... encoding=..."):
// UTF-8 unless it names another.
SgmlTextEncoding XmlDeclarationEncoding(std::string_view declaration) {
    const std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return SgmlTextEncoding::kUtf8;
    std::size_t i = at + 8;
    while (i < declaration.size() && (IsTrimmed(declaration[i]) || declaration[i] == '='))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return SgmlTextEncoding::kUtf8;
    const char quote = declaration[i++];
    const std::size_t end = declaration.find(quote, i);
    if (end == std::string_view::npos)
        return SgmlTextEncoding::kUtf8;
    const std::string_view name = declaration.substr(i, end - i);
    if (AsciiEqualsNoCase(name, "UTF-8") || AsciiEqualsNoCase(name, "UTF8"))
        return SgmlTextEncoding::kUtf8;
    return SgmlTextEncoding::kCp1252;
}

struct Entity {
    std::string_view name;  // after the "&"
    char value;
};

constexpr Entity kEntities[] = {{"amp;", '&'}, {"gt;", '>'}, {"lt;", '<'}, {"nbsp;", ' '}};

// What follows the "<" of a CDATA section, and what ends one.
constexpr std::string_view kCDataOpen = "![CDATA[";
constexpr std::string_view kCDataClose = "]]>";

}  // namespace

class SgmlReader {
  public:
    SgmlReader(Stream& stream, const CSgmlTagTable& table,
               CSgmlElement::MParseEventHandler* handler, CSgmlDocument* document)
        : stream_(stream), table_(table), handler_(handler), document_(document) {
        if (document_ != nullptr)
            encoding_ = document_->GetTextEncoding();
    }

    bool ParseDocument(CSgmlDocument& document) {
        return Guarded([&] {
            std::string tag;
            inProlog_ = true;
            if (!ReadTag(tag))
                return false;
            inProlog_ = false;
            const bool selfClosing = IsSelfClosing(tag);
            const std::string_view name = ElementName(tag, selfClosing);
            if (table_.Lookup(name) != kSgmlAggregate)
                return Fail(kSgmlErrorMalformed, tag);
            document.SetName(std::string(name));
            return selfClosing || ParseAggregate(document);
        });
    }

    bool ParseElement(CSgmlElement& element) {
        return Guarded([&] {
            const int kind = table_.Lookup(element.GetName());
            if (kind == kSgmlAggregate)
                return ParseAggregate(element);
            if (kind == kSgmlUnknown)
                return Fail(kSgmlErrorMalformed, element.GetName());
            std::string text;
            if (!ReadText(text))
                return false;
            element.SetText(std::move(text));
            // The tag that ended the text stays unread for the caller.
            if (pendingTag_) {
                const std::size_t read = pendingTag_->size() + 1;
                pendingTag_.reset();
                stream_.Seek(stream_.Tell() - read);
            }
            return true;
        });
    }

  private:
    // An open aggregate. Elements inside an unknown tag go to a holder until
    // it is clear whether the tag was an aggregate (dropped with its content)
    // or an empty data element (its "content" belongs to the parent).
    struct Frame {
        CSgmlElement* target;
        std::unique_ptr<CSgmlElement> holder;
    };

    template <typename Body>
    bool Guarded(Body body) {
        try {
            return body();
        } catch (const std::exception&) {  // only allocation throws here
            return Fail(kSgmlErrorNoMemory);
        }
    }

    bool Fail(int code, std::string_view text = {}) {
        if (document_ != nullptr)
            document_->SetError(code, text);
        return false;
    }

    bool Progress() {
        if (handler_ != nullptr && !handler_->Progress(0))
            return Fail(kSgmlErrorCancelled);
        return true;
    }

    static bool IsSelfClosing(const std::string& tag) {
        return tag.size() > 1 && tag.back() == '/';
    }

    static std::string_view ElementName(const std::string& tag, bool selfClosing) {
        std::string_view name = tag;
        if (selfClosing)
            name.remove_suffix(1);
        return name;
    }

    bool ReadByteOrFail(std::uint8_t& c) {
        return stream_.ReadByte(c) || Fail(kSgmlErrorMalformed);
    }

    // The next element or end tag, without its angle brackets. Declarations,
    // comments, CDATA sections outside a data text and processing
    // instructions are passed over; an XML declaration before the root sets
    // the text encoding.
    bool ReadTag(std::string& tag) {
        for (;;) {
            std::uint8_t c = 0;
            if (pendingTag_) {
                // ReadText has read the "<" and what follows it up to here.
                tag = std::move(*pendingTag_);
                pendingTag_.reset();
            } else {
                do {
                    if (!ReadByteOrFail(c))
                        return false;
                } while (c != '<');
                tag.clear();
            }
            for (;;) {
                if (!ReadByteOrFail(c))
                    return false;
                if (c == '>')
                    break;
                tag += static_cast<char>(c);
            }
            const bool comment = tag.starts_with("!--");
            if (comment || tag.starts_with(kCDataOpen)) {
                // Either may hold ">" before its own end.
                const std::string_view end = comment ? "--" : "]]";
                const std::size_t shortest = (comment ? 3 : kCDataOpen.size()) + end.size();
                while (tag.size() < shortest || !tag.ends_with(end)) {
                    tag += '>';
                    for (;;) {
                        if (!ReadByteOrFail(c))
                            return false;
                        if (c == '>')
                            break;
                        tag += static_cast<char>(c);
                    }
                }
                continue;
            }
            if (tag.starts_with('?')) {
                if (inProlog_ && tag.starts_with("?xml") &&
                    (tag.size() == 4 || IsTrimmed(tag[4]))) {
                    encoding_ = XmlDeclarationEncoding(tag);
                    if (document_ != nullptr)
                        document_->SetTextEncoding(encoding_);
                }
                continue;
            }
            if (tag.starts_with('!'))
                continue;
            return true;
        }
    }

    // Text up to the next tag: entities decoded, CDATA sections taken as
    // they stand, then blanks trimmed from the whole. False (error set) when
    // the stream ends first.
    bool ReadText(std::string& text) {
        text.clear();
        std::uint8_t c = 0;
        for (;;) {
            // One call a byte: the "<" that ends the text is read here too.
            if (!stream_.ReadByte(c))
                return Fail(kSgmlErrorMalformed);
            if (c == '<') {
                if (!OpensCData())
                    break;
                if (!ReadCData(text))
                    return false;
            } else if (c == '&') {
                AppendEntity(text);
            } else {
                text += static_cast<char>(c);
            }
        }
        Trim(text);
        if (encoding_ == SgmlTextEncoding::kUtf8 && HasHighByte(text) &&
            platform::IsValidUtf8(text))
            text = platform::Utf8ToCp1252(text);
        return true;
    }

    // After a "<" in a text: true when "![CDATA[" follows (read). Otherwise
    // what was read of it waits for ReadTag, and the byte that differed
    // stays unread, so that no seek is needed.
    bool OpensCData() {
        std::string read;
        std::uint8_t c = 0;
        while (read.size() < kCDataOpen.size() && stream_.PeekByte(c) &&
               static_cast<char>(c) == kCDataOpen[read.size()]) {
            stream_.ReadByte(c);
            read += static_cast<char>(c);
        }
        if (read.size() == kCDataOpen.size())
            return true;
        pendingTag_ = std::move(read);
        return false;
    }

    // A CDATA section's content up to the first "]]>", appended literally.
    bool ReadCData(std::string& text) {
        const std::size_t start = text.size();
        std::uint8_t c = 0;
        for (;;) {
            if (!stream_.ReadByte(c))
                return Fail(kSgmlErrorMalformed, kCDataOpen);
            text += static_cast<char>(c);
            if (c == '>' && text.size() - start >= kCDataClose.size() &&
                std::string_view(text).substr(text.size() - kCDataClose.size()) == kCDataClose) {
                text.resize(text.size() - kCDataClose.size());
                return true;
            }
        }
    }

    // After an "&": a known entity becomes its character, anything else
    // stays as written. Matching by peeking reads each byte once and needs no
    // seek back, with the same result.
    void AppendEntity(std::string& text) {
        std::uint8_t c = 0;
        const Entity* entity = nullptr;
        if (stream_.PeekByte(c)) {
            for (const Entity& e : kEntities) {
                if (static_cast<char>(c) == e.name[0])
                    entity = &e;
            }
        }
        text += '&';
        if (entity == nullptr)
            return;
        std::size_t matched = 0;
        while (matched < entity->name.size() && stream_.PeekByte(c) &&
               static_cast<char>(c) == entity->name[matched]) {
            stream_.ReadByte(c);
            ++matched;
        }
        if (matched == entity->name.size())
            text.back() = entity->value;
        else
            text.append(entity->name.substr(0, matched));
    }

    bool CountElement() {
        if (++elements_ > kSgmlMaxElements)
            return Fail(kSgmlErrorNoMemory);
        return true;
    }

    bool Open(CSgmlElement* target, std::unique_ptr<CSgmlElement> holder, const std::string& tag) {
        if (stack_.size() >= kSgmlMaxDepth)
            return Fail(kSgmlErrorMalformed, tag);
        stack_.push_back(Frame{target, std::move(holder)});
        return Progress();
    }

    // Ends the innermost open element; the parent then asks for progress.
    bool CloseTop() {
        stack_.pop_back();
        return stack_.empty() || Progress();
    }

    bool Close(std::string_view name, bool afterDataNamed, const std::string& tag) {
        if (stack_.back().target->GetName() == name)
            return CloseTop();
        // "<CODE>0</CODE>": the end tag of the data element just read.
        if (afterDataNamed)
            return true;
        std::size_t open = stack_.size() - 1;
        while (open > 0 && stack_[open - 1].target->GetName() != name)
            --open;
        if (open == 0)
            return Fail(kSgmlErrorMalformed, tag);
        --open;
        for (std::size_t i = open + 1; i < stack_.size(); ++i) {
            if (!stack_[i].holder)
                return Fail(kSgmlErrorMalformed, tag);  // a known aggregate left open
        }
        // The unknown tags in between were empty data elements.
        while (stack_.size() > open + 1) {
            std::unique_ptr<CSgmlElement> holder = std::move(stack_.back().holder);
            stack_.pop_back();
            stack_.back().target->TakeChildren(*holder);
        }
        return CloseTop();
    }

    CSgmlElement* AddChild(std::string_view name) {
        return stack_.back().target->AppendChild(std::make_unique<CSgmlElement>(std::string(name)));
    }

    bool ParseAggregate(CSgmlElement& root) {
        std::string tag;
        std::string text;
        std::string lastData;  // the data element just read, if any
        if (!Open(&root, nullptr, root.GetName()))
            return false;
        while (!stack_.empty()) {
            if (!ReadTag(tag))
                return false;
            std::string previousData;
            previousData.swap(lastData);
            const bool selfClosing = IsSelfClosing(tag);
            const std::string_view name = ElementName(tag, selfClosing);
            const int kind = table_.Lookup(name);

            if (kind == kSgmlUnknown && !selfClosing && name.starts_with('/')) {
                const std::string_view closed = name.substr(1);
                if (!Close(closed, !previousData.empty() && previousData == closed, tag))
                    return false;
                continue;
            }
            if (!CountElement())
                return false;

            if (kind == kSgmlAggregate) {
                CSgmlElement* child = AddChild(name);
                if (selfClosing) {
                    if (!Progress())
                        return false;
                } else if (!Open(child, nullptr, tag)) {
                    return false;
                }
                continue;
            }
            if (kind != kSgmlUnknown) {
                CSgmlElement* child = AddChild(name);
                text.clear();
                if (!selfClosing) {
                    if (!ReadText(text))
                        return false;
                    lastData.assign(name);
                }
                child->SetText(std::move(text));
                text = std::string();
                if (!Progress())
                    return false;
                continue;
            }
            // Unknown: text after it makes it a data element, dropped; with
            // none it is held open until its end tag or its parent's.
            if (!selfClosing) {
                if (!ReadText(text))
                    return false;
                if (text.empty()) {
                    auto holder = std::make_unique<CSgmlElement>(std::string(name));
                    CSgmlElement* target = holder.get();
                    if (!Open(target, std::move(holder), tag))
                        return false;
                    continue;
                }
                lastData.assign(name);
            }
            if (!Progress())
                return false;
        }
        return true;
    }

    Stream& stream_;
    const CSgmlTagTable& table_;
    CSgmlElement::MParseEventHandler* handler_;
    CSgmlDocument* document_;
    SgmlTextEncoding encoding_ = SgmlTextEncoding::kCp1252;
    bool inProlog_ = false;
    // What ReadText read of the next tag after its "<".
    std::optional<std::string> pendingTag_;
    std::size_t elements_ = 0;
    std::vector<Frame> stack_;
};

bool CSgmlElement::Parse(Stream& stream, const CSgmlTagTable& table, MParseEventHandler* handler) {
    SgmlReader reader(stream, table, handler, GetDocument());
    return reader.ParseElement(*this);
}

bool CSgmlDocument::Parse(Stream& stream, const CSgmlTagTable& table, MParseEventHandler* handler) {
    SgmlReader reader(stream, table, handler, this);
    return reader.ParseDocument(*this);
}

}  // namespace tallowmere::exchange

#pragma once
// The element tree of an OFX or directory reply: read by the tag-table driven
// SGML reader, written back by Generate.
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "exchange/sgml_tag_table.h"
#include "exchange/stream.h"

namespace tallowmere::exchange {

// Error codes kept by the document.
inline constexpr int kSgmlErrorNoMemory = 1;
inline constexpr int kSgmlErrorCancelled = 2;
inline constexpr int kSgmlErrorMissing = 3;
inline constexpr int kSgmlErrorMalformed = 4;

// Limits on hostile input. No real reply nests beyond about 12 levels; a
// 10,000-transaction statement has about 100,000 elements.
inline constexpr std::size_t kSgmlMaxDepth = 64;
inline constexpr std::size_t kSgmlMaxElements = 2'000'000;

// How the bytes of data texts are encoded; the tree always holds
// Windows-1252.
enum class SgmlTextEncoding { kCp1252, kUtf8 };

// The encoding an OFX 1.x header declares: ENCODING:UTF-8 or UNICODE (or a
// CHARSET:UTF-8) is UTF-8; USASCII with CHARSET 1252, ISO-8859-1 or NONE is
// 1252.
SgmlTextEncoding OfxHeaderTextEncoding(std::string_view encoding, std::string_view charset);

class CSgmlDocument;
class CSgmlElement;

class CSgmlNode {
  public:
    virtual ~CSgmlNode();
    CSgmlNode(const CSgmlNode&) = delete;
    CSgmlNode& operator=(const CSgmlNode&) = delete;

    // The document at the root, found by walking up (O(depth)); null for a
    // tree that has none.
    virtual CSgmlDocument* GetDocument();

    const std::string& GetName() const { return name_; }
    CSgmlElement* GetParent() const { return parent_; }
    CSgmlElement* GetPreviousSibling() const { return previous_; }
    CSgmlElement* GetNextSibling() const { return next_.get(); }
    CSgmlElement* GetFirstChild() const { return firstChild_.get(); }
    CSgmlElement* GetLastChild() const { return lastChild_; }

    // Appends as the last child and returns it (null for a null child).
    CSgmlElement* AppendChild(std::unique_ptr<CSgmlElement> child);
    // Moves every child of other behind this node's children.
    void TakeChildren(CSgmlNode& other);

  protected:
    void SetName(std::string name) { name_ = std::move(name); }

  private:
    // Every node is an element, so the links can be typed as elements.
    friend class CSgmlElement;
    explicit CSgmlNode(std::string name) : name_(std::move(name)) {}
    CSgmlElement* AsElement();

    CSgmlElement* parent_ = nullptr;
    CSgmlElement* previous_ = nullptr;
    std::unique_ptr<CSgmlElement> next_;  // siblings own the ones after them
    std::unique_ptr<CSgmlElement> firstChild_;
    CSgmlElement* lastChild_ = nullptr;
    std::string name_;
};

class CSgmlElement : public CSgmlNode {
  public:
    class MEventHandler {
      public:
        virtual ~MEventHandler() = default;
        // Asked between elements with 0; false cancels.
        virtual bool Progress(int value) = 0;
    };
    class MParseEventHandler : public MEventHandler {};
    class MGenerateEventHandler : public MEventHandler {};

    explicit CSgmlElement(std::string name) : CSgmlNode(std::move(name)) {}

    // Parses this element's content by the kind its name has in the table.
    // A null handler never cancels. Failures are recorded on the document.
    virtual bool Parse(Stream& stream, const CSgmlTagTable& table, MParseEventHandler* handler);

    // The element's text; null for aggregates.
    const std::string* Text() const { return text_ ? &*text_ : nullptr; }
    void SetText(std::string text) { text_ = std::move(text); }

    // Follows the path from this element, each name selecting the first child
    // of that exact name. A missing step sets error 3 on the document.
    CSgmlElement* FindPath(std::span<const std::string_view> path);
    CSgmlElement* FindPath(std::initializer_list<std::string_view> path) {
        return FindPath(std::span<const std::string_view>(path.begin(), path.size()));
    }
    // FindPath, then the element's text; no element or no text sets error 3.
    const std::string* GetText(std::span<const std::string_view> path);
    const std::string* GetText(std::initializer_list<std::string_view> path) {
        return GetText(std::span<const std::string_view>(path.begin(), path.size()));
    }

    CSgmlElement* FindFirstChild(std::string_view name) const;
    CSgmlElement* FindNextSibling(std::string_view name) const;

    // Appends the element and its subtree as text, with no line breaks. A
    // null handler never cancels.
    bool Generate(std::string& out, MGenerateEventHandler* handler);

  private:
    std::optional<std::string> text_;
};

class CSgmlDocument : public CSgmlElement {
  public:
    CSgmlDocument() : CSgmlElement(std::string()) {}

    CSgmlDocument* GetDocument() override { return this; }

    // Reads the first element tag (after any XML declaration, processing
    // instructions and comments) as the root aggregate, then its content.
    bool Parse(Stream& stream, const CSgmlTagTable& table, MParseEventHandler* handler) override;

    int GetErrorCode() const { return errorCode_; }
    const std::string& GetErrorText() const { return errorText_; }
    void SetError(int code, std::string_view text = {});

    // Set from the reply's header before parsing; an XML declaration in the
    // input overrides it.
    void SetTextEncoding(SgmlTextEncoding encoding) { encoding_ = encoding; }
    SgmlTextEncoding GetTextEncoding() const { return encoding_; }

  private:
    friend class SgmlReader;
    using CSgmlNode::SetName;

    int errorCode_ = 0;
    std::string errorText_;
    SgmlTextEncoding encoding_ = SgmlTextEncoding::kCp1252;
};

}  // namespace tallowmere::exchange

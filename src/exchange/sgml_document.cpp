#include "exchange/sgml_document.h"

#include <new>
#include <utility>

#include "platform/text_1252.h"

namespace tallowmere::exchange {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return platform::CompareNoCase1252(a, b) == 0;
}

}  // namespace

SgmlTextEncoding OfxHeaderTextEncoding(std::string_view encoding, std::string_view charset) {
    // Every other CHARSET (1252, ISO-8859-1, NONE) is kept as 1252 bytes.
    if (EqualsNoCase(encoding, "UTF-8") || EqualsNoCase(encoding, "UNICODE") ||
        EqualsNoCase(charset, "UTF-8"))
        return SgmlTextEncoding::kUtf8;
    return SgmlTextEncoding::kCp1252;
}

CSgmlNode::~CSgmlNode() {
    // Neither a long sibling chain nor a deep tree may recurse: each child's
    // own children are moved up in front of the rest before it goes, so every
    // element is destroyed bare.
    while (firstChild_) {
        std::unique_ptr<CSgmlElement> child = std::move(firstChild_);
        firstChild_ = std::move(child->next_);
        if (child->firstChild_) {
            child->lastChild_->next_ = std::move(firstChild_);
            firstChild_ = std::move(child->firstChild_);
        }
    }
}

CSgmlElement* CSgmlNode::AsElement() {
    return static_cast<CSgmlElement*>(this);
}

CSgmlDocument* CSgmlNode::GetDocument() {
    CSgmlNode* node = this;
    while (node->parent_ != nullptr)
        node = node->parent_;
    return node == this ? nullptr : node->GetDocument();
}

CSgmlElement* CSgmlNode::AppendChild(std::unique_ptr<CSgmlElement> child) {
    CSgmlElement* added = child.get();
    if (added == nullptr)
        return nullptr;
    added->parent_ = AsElement();
    added->previous_ = lastChild_;
    if (lastChild_ != nullptr)
        lastChild_->next_ = std::move(child);
    else
        firstChild_ = std::move(child);
    lastChild_ = added;
    return added;
}

void CSgmlNode::TakeChildren(CSgmlNode& other) {
    while (other.firstChild_) {
        std::unique_ptr<CSgmlElement> child = std::move(other.firstChild_);
        other.firstChild_ = std::move(child->next_);
        child->previous_ = nullptr;
        AppendChild(std::move(child));
    }
    other.lastChild_ = nullptr;
}

CSgmlElement* CSgmlElement::FindPath(std::span<const std::string_view> path) {
    CSgmlElement* element = this;
    for (std::string_view name : path) {
        element = element->FindFirstChild(name);
        if (element == nullptr) {
            if (CSgmlDocument* document = GetDocument())
                document->SetError(kSgmlErrorMissing);
            return nullptr;
        }
    }
    return element;
}

const std::string* CSgmlElement::GetText(std::span<const std::string_view> path) {
    CSgmlElement* element = FindPath(path);
    if (element == nullptr)
        return nullptr;
    if (element->Text() == nullptr) {
        if (CSgmlDocument* document = GetDocument())
            document->SetError(kSgmlErrorMissing);
    }
    return element->Text();
}

CSgmlElement* CSgmlElement::FindFirstChild(std::string_view name) const {
    for (CSgmlElement* child = GetFirstChild(); child != nullptr; child = child->GetNextSibling()) {
        if (child->GetName() == name)
            return child;
    }
    return nullptr;
}

CSgmlElement* CSgmlElement::FindNextSibling(std::string_view name) const {
    for (CSgmlElement* sibling = GetNextSibling(); sibling != nullptr;
         sibling = sibling->GetNextSibling()) {
        if (sibling->GetName() == name)
            return sibling;
    }
    return nullptr;
}

void CSgmlDocument::SetError(int code, std::string_view text) {
    errorCode_ = code;
    try {
        errorText_.assign(text);
    } catch (const std::bad_alloc&) {
        errorText_.clear();
    }
}

}  // namespace tallowmere::exchange

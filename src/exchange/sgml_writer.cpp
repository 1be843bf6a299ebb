// Writing a subtree back as SGML text, as the profile is kept.
#include <exception>
#include <string>

#include "exchange/sgml_document.h"

namespace tallowmere::exchange {
namespace {

void AppendEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '<':
                out += "&lt;";
                break;
            default:
                out += c;
        }
    }
}

}  // namespace

bool CSgmlElement::Generate(std::string& out, MGenerateEventHandler* handler) {
    // Walked without recursion, so no tree is too deep to write.
    auto fail = [this](int code) {
        if (CSgmlDocument* document = GetDocument())
            document->SetError(code);
        return false;
    };
    try {
        CSgmlElement* node = this;
        for (;;) {
            out += '<';
            out += node->GetName();
            out += '>';
            if (node->GetFirstChild() != nullptr) {
                if (handler != nullptr && !handler->Progress(0))
                    return fail(kSgmlErrorCancelled);
                node = node->GetFirstChild();
                continue;
            }
            // Data elements have no end tag.
            if (const std::string* text = node->Text())
                AppendEscaped(out, *text);
            for (;;) {
                if (node == this)
                    return true;
                if (node->GetNextSibling() != nullptr) {
                    if (handler != nullptr && !handler->Progress(0))
                        return fail(kSgmlErrorCancelled);
                    node = node->GetNextSibling();
                    break;
                }
                node = node->GetParent();
                out += "</";
                out += node->GetName();
                out += '>';
            }
        }
    } catch (const std::exception&) {  // only allocation throws here
        return fail(kSgmlErrorNoMemory);
    }
}

}  // namespace tallowmere::exchange

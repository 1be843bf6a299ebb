#include "ui/logic/hand_over_text.h"

#include <filesystem>

#include "ui/logic/instance_frames.h"

namespace tallowmere::ui {

namespace {

std::string Absolute(const std::string& argument, const std::string& workingFolder) {
    if (argument.empty() || argument.front() == '-' || argument.front() == '/')
        return argument;
    return (std::filesystem::path(workingFolder) / argument).lexically_normal().string();
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string BuildHandOverText(const std::vector<std::string>& arguments,
                              const std::string& workingFolder) {
    std::string text;
    for (const std::string& argument : arguments) {
        std::string part = Absolute(argument, workingFolder);
        if (part.find_first_of(" \t") != std::string::npos)
            part = '"' + part + '"';
        if (!text.empty())
            text += ' ';
        text += part;
    }
    if (text.size() > kMaxCommandLine) {
        std::size_t cut = kMaxCommandLine;
        while (cut > 0 && IsContinuationByte(text[cut]))
            --cut;
        text.resize(cut);
    }
    return text;
}

}  // namespace tallowmere::ui

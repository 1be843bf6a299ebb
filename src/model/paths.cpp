#include "model/paths.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/special_folders.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere {
namespace {

constexpr std::string_view kBadNameChars = "\\/:*?\"<>|";

bool IsBadNameChar(char c) {
    return kBadNameChars.find(c) != std::string_view::npos;
}

// Position of the extension's '.', or npos when the text has no extension.
std::size_t ExtensionDot(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return std::string_view::npos;
    if (path.find(kPathSeparator, dot) != std::string_view::npos)
        return std::string_view::npos;
    return dot;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0)
        return 0;
    const int err = errno;
    // Someone else may have made it in the meantime.
    if (err == EEXIST && IsFolder(path))
        return 0;
    return platform::WinErrorFromErrno(err);
}

}  // namespace

void AppendPath(std::string& text, std::string_view part) {
    if (!text.empty() && text.back() != kPathSeparator && !part.empty() &&
        part.front() != kPathSeparator)
        text += kPathSeparator;
    text += part;
}

std::string JoinPath(std::string_view a, std::string_view b) {
    std::string out(a);
    AppendPath(out, b);
    return out;
}

void SplitFileName(std::string& path, std::string* folder, bool keepSeparator) {
    const std::size_t slash = path.rfind(kPathSeparator);
    if (slash == std::string::npos)
        return;
    if (folder != nullptr)
        *folder = path.substr(0, keepSeparator ? slash + 1 : slash);
    path.erase(0, slash + 1);
}

std::string GetFileNamePart(std::string_view path) {
    const std::size_t slash = path.rfind(kPathSeparator);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string GetFileTitlePart(std::string_view path) {
    std::string name = GetFileNamePart(path);
    StripExtension(name);
    return name;
}

bool StripExtension(std::string& text) {
    if (text.empty())
        return true;
    const std::size_t dot = ExtensionDot(text);
    if (dot == std::string::npos)
        return false;
    text.resize(dot);
    return true;
}

std::string GetFileExtension(std::string_view path) {
    const std::size_t dot = ExtensionDot(path);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

std::string GetPathFolder(std::string_view path, bool addSeparator) {
    const std::size_t slash = path.rfind(kPathSeparator);
    if (slash == std::string_view::npos)
        return std::string();
    return std::string(path.substr(0, addSeparator ? slash + 1 : slash));
}

std::string GetModulePath() {
    std::string buf(256, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return std::string();
        if (static_cast<std::size_t>(n) < buf.size()) {
            buf.resize(static_cast<std::size_t>(n));
            return buf;
        }
        // Possibly cut: try again with room to spare.
        buf.resize(buf.size() * 2);
    }
}

std::string GetModuleFolder() {
    const std::string path = GetModulePath();
    return path.empty() ? std::string() : GetPathFolder(path, true);
}

bool GetSpecialFolder(int csidl, std::string& path) {
    path.clear();
    if (csidl != kCsidlPersonal)
        return false;
    path = platform::DocumentsFolder();
    return !path.empty();
}

bool GetMyDocumentsFolder(std::string& path) {
    return GetSpecialFolder(kCsidlPersonal, path);
}

bool FileExists(const std::string& path) {
    return !path.empty() && access(path.c_str(), F_OK) == 0;
}

bool IsUncServerPath(std::string_view) {
    return false;
}

bool IsValidFileName(std::string_view text) {
    for (const char c : text) {
        if (IsBadNameChar(c))
            return false;
    }
    return true;
}

std::string SanitizeFileName(std::string_view text) {
    std::string out(text);
    SanitizeFileNameInPlace(out);
    return out;
}

void SanitizeFileNameInPlace(std::span<char> buffer) {
    for (char& c : buffer) {
        if (c == '\0')
            break;
        if (IsBadNameChar(c))
            c = '-';
    }
}

int CreateDirectoryPath(const std::string& path) {
    for (std::size_t i = path.find(kPathSeparator); i != std::string::npos;
         i = path.find(kPathSeparator, i + 1)) {
        const std::string part = path.substr(0, i);
        if (part.empty() || IsUncServerPath(part) || FileExists(part))
            continue;
        if (const int err = MakeFolder(part); err != 0)
            return err;
    }
    if (FileExists(path))
        return 0;
    return MakeFolder(path);
}

std::string DigitsFromText(std::string_view text) {
    // Unsigned byte values: letters above 127 give digits too, on every
    // platform, because the result goes to the bank as an 11-digit client UID.
    std::string out;
    for (std::size_t i = 0; i < 11; ++i) {
        if (text.empty()) {
            out += '0';
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i < text.size() ? i : text.size() - 1]);
        out += static_cast<char>('0' + c % 10);
    }
    return out;
}

int CountFilesWithExtension(const std::string& folder, std::string_view ext) {
    int count = 0;
    CDirWalker walker;
    std::string path;
    std::uint32_t attributes = 0;
    if (!walker.FindFirst(folder, false))
        return 0;
    while (walker.FindNext(path, attributes)) {
        if ((attributes & CDirWalker::kAttrDirectory) != 0)
            continue;
        if (ext.empty()) {
            ++count;
            continue;
        }
        const std::string own = GetFileExtension(GetFileNamePart(path));
        if (own.size() == ext.size() && platform::CompareNoCase1252(own, ext) == 0)
            ++count;
    }
    return count;
}

void CDirWalker::DirCloser::operator()(DIR* d) const {
    closedir(d);
}

CDirWalker::~CDirWalker() {
    Close();
}

void CDirWalker::Close() {
    while (!levels_.empty())
        levels_.pop_back();
    more_ = false;
}

bool CDirWalker::Push(const std::string& folder, bool followLink) {
    if (levels_.size() >= kMaxDepth)
        return false;
    // O_NOFOLLOW: a sub-folder swapped for a link after it was listed is not
    // entered either. The folder the walk starts from may be a link.
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    const int fd = open(folder.c_str(), flags);
    if (fd < 0)
        return false;
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return false;
    }
    levels_.push_back(Level{std::unique_ptr<DIR, DirCloser>(dir), folder});
    return true;
}

bool CDirWalker::FindFirst(const std::string& folder, bool recursive) {
    Close();
    recursive_ = recursive;
    if (!Push(folder, true))
        return false;
    Advance();
    return more_;
}

void CDirWalker::Advance() {
    more_ = false;
    while (!levels_.empty()) {
        Level& level = levels_.back();
        errno = 0;
        const dirent* entry = readdir(level.dir.get());
        if (entry == nullptr) {
            levels_.pop_back();
            continue;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        std::string path = JoinPath(level.folder, name);
        struct statx sx {};
        if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
                  &sx) != 0)
            continue;  // gone since it was listed
        std::uint32_t attributes = 0;
        if (S_ISLNK(sx.stx_mode)) {
            attributes = kAttrReparsePoint;
            if (IsFolder(path))
                attributes |= kAttrDirectory;
        } else if (S_ISDIR(sx.stx_mode)) {
            attributes = kAttrDirectory;
        }
        if ((sx.stx_mode & S_IWUSR) == 0)
            attributes |= kAttrReadOnly;
        if (attributes == 0)
            attributes = kAttrNormal;
        path_ = std::move(path);
        attributes_ = attributes;
        time_ = (sx.stx_mask & STATX_BTIME) != 0 ? sx.stx_btime.tv_sec : sx.stx_mtime.tv_sec;
        more_ = true;
        return;
    }
}

bool CDirWalker::FindNext(std::string& path, std::uint32_t& attributes,
                          std::int64_t* creationTime) {
    if (!more_)
        return false;
    path = path_;
    attributes = attributes_;
    if (creationTime != nullptr)
        *creationTime = time_;
    if (recursive_ && (attributes & kAttrReparsePoint) == 0 && (attributes & kAttrDirectory) != 0)
        Push(path, false);
    Advance();
    return true;
}

}  // namespace tallowmere

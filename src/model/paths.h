#pragma once
// The small file-system toolkit of the data folders: joining and splitting
// paths, file-name rules, special folders, folder creation and walking.
// Paths are 1252 byte strings with '/' as the separator.
#include <dirent.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere {

inline constexpr char kPathSeparator = '/';

// The documents folder, the one special folder the program asks for.
inline constexpr int kCsidlPersonal = 5;

// Appends part, with one separator between when neither side brings one and
// both are non-empty.
void AppendPath(std::string& text, std::string_view part);
std::string JoinPath(std::string_view a, std::string_view b);

// When the path has a folder part, path becomes the file name and folder
// (when not null) the folder, with its trailing separator when keepSeparator
// is set. Without a folder part nothing changes.
void SplitFileName(std::string& path, std::string* folder, bool keepSeparator);
std::string GetFileNamePart(std::string_view path);
std::string GetFileTitlePart(std::string_view path);
// Cuts the text before its last '.' and gives true; false, unchanged, when
// there is no '.', when a separator comes after the last '.', or when the
// '.' is the first character. An empty text gives true.
bool StripExtension(std::string& text);
// The text after the last '.'; empty under the same conditions.
std::string GetFileExtension(std::string_view path);
// The text before the last separator (empty without one), the separator
// kept when addSeparator is set.
std::string GetPathFolder(std::string_view path, bool addSeparator);

// The program file's full path; empty when it cannot be read.
std::string GetModulePath();
// The folder of the program file, ending with the separator; empty when it
// cannot be read.
std::string GetModuleFolder();
// The special folder's path; false (path cleared) for a folder this
// platform does not know. The folder is not created.
bool GetSpecialFolder(int csidl, std::string& path);
bool GetMyDocumentsFolder(std::string& path);

// A file or folder of that name exists.
bool FileExists(const std::string& path);
// A bare server name ("\\server"); there are none on this platform.
bool IsUncServerPath(std::string_view path);
// None of \ / : * ? " < > | occurs: the Windows rule, so that names stay
// portable and agree with the handheld's account names.
bool IsValidFileName(std::string_view text);
std::string SanitizeFileName(std::string_view text);
// In place, up to the first NUL or the end of the buffer.
void SanitizeFileNameInPlace(std::span<char> buffer);

// Creates every missing folder of the path (owner-only, mode 0700: they hold
// account files). 0, or the first Windows error code; folders made before a
// failure stay.
int CreateDirectoryPath(const std::string& path);

// Eleven decimal digits derived from the text's bytes (position i, or the
// last byte when the text is shorter, modulo 10); "00000000000" for an empty
// text.
std::string DigitsFromText(std::string_view text);

// The entries of the folder (not of its sub-folders) that are not folders and
// whose extension equals ext without regard to case; an empty ext counts
// every file.
int CountFilesWithExtension(const std::string& folder, std::string_view ext);

// Walks a folder, optionally with its sub-folders (each folder entry comes
// before its contents). Gives every entry except "." and "..", and never
// enters a symbolic link.
class CDirWalker {
  public:
    static constexpr std::uint32_t kAttrReadOnly = 0x01;
    static constexpr std::uint32_t kAttrDirectory = 0x10;
    static constexpr std::uint32_t kAttrNormal = 0x80;
    static constexpr std::uint32_t kAttrReparsePoint = 0x400;  // a symbolic link
    // Deeper folders are given but not entered, so a walk never runs out of
    // file handles.
    static constexpr std::size_t kMaxDepth = 256;

    CDirWalker() = default;
    ~CDirWalker();
    CDirWalker(const CDirWalker&) = delete;
    CDirWalker& operator=(const CDirWalker&) = delete;

    // Starts a walk; true when the folder has an entry to give.
    bool FindFirst(const std::string& folder, bool recursive = true);
    // Gives the current entry (its path, attributes and, when asked, its
    // creation time in seconds since 1970, else its modification time) and
    // moves on; false when no entry is left.
    bool FindNext(std::string& path, std::uint32_t& attributes,
                  std::int64_t* creationTime = nullptr);
    // Closes every open level, deepest first.
    void Close();

  private:
    struct DirCloser {
        void operator()(DIR* d) const;
    };
    struct Level {
        std::unique_ptr<DIR, DirCloser> dir;
        std::string folder;
    };
    bool Push(const std::string& folder, bool followLink);
    void Advance();

    std::vector<Level> levels_;
    bool recursive_ = true;
    bool more_ = false;
    std::string path_;
    std::uint32_t attributes_ = 0;
    std::int64_t time_ = 0;
};

}  // namespace tallowmere

#include "sync/folder_tree.h"

#include <filesystem>
#include <system_error>

namespace tallowmere::handheld {
namespace {

namespace fs = std::filesystem;

// Data folders are shallow; a deeper tree is refused rather than walked.
constexpr int kMaxDepth = 64;

bool DeleteTree(const fs::path& path, int depth) {
    std::error_code ec;
    if (depth > kMaxDepth || fs::symlink_status(path, ec).type() != fs::file_type::directory)
        return false;
    // Removing entries needs write access to their folder.
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::directory_iterator it(path, ec);
    if (ec)
        return false;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const fs::path entry = it->path();
        if (fs::symlink_status(entry, ec).type() == fs::file_type::directory) {
            if (!DeleteTree(entry, depth + 1))
                return false;
        } else if (!fs::remove(entry, ec) || ec) {
            return false;
        }
    }
    if (ec)
        return false;
    return fs::remove(path, ec) && !ec;
}

bool CopyTree(const fs::path& from, const fs::path& to, int depth) {
    std::error_code ec;
    if (depth > kMaxDepth)
        return false;
    fs::create_directories(to, ec);
    if (ec)
        return false;
    fs::directory_iterator it(from, ec);
    if (ec)
        return false;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const fs::path entry = it->path();
        const fs::path target = to / entry.filename();
        const fs::file_type type = fs::symlink_status(entry, ec).type();
        if (ec)
            return false;
        if (type == fs::file_type::directory) {
            if (!CopyTree(entry, target, depth + 1))
                return false;
        } else if (type == fs::file_type::regular) {
            if (!fs::copy_file(entry, target, fs::copy_options::overwrite_existing, ec) || ec)
                return false;
        }
    }
    return !ec;
}

}  // namespace

bool DeleteFolderTree(const std::string& path) {
    return !path.empty() && DeleteTree(path, 0);
}

bool CopyFolderTree(const std::string& from, const std::string& to) {
    return !from.empty() && !to.empty() && CopyTree(from, to, 0);
}

}  // namespace tallowmere::handheld

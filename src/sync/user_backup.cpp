#include "sync/user_backup.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "model/paths.h"
#include "platform/clock.h"
#include "sync/folder_tree.h"

namespace tallowmere::handheld {
namespace {

namespace fs = std::filesystem;

std::string RunStamp() {
    const platform::LocalTime t = platform::CurrentClock().LocalNow();
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

// Moves a file over target; across file systems through a copy beside the
// target, renamed over it, so the target is never half written.
bool MoveOver(const fs::path& from, const fs::path& target) {
    std::error_code ec;
    fs::rename(from, target, ec);
    if (!ec)
        return true;
    if (ec != std::errc::cross_device_link)
        return false;
    fs::path temp = target;
    temp += ".restore";
    if (!fs::copy_file(from, temp, fs::copy_options::overwrite_existing, ec) || ec)
        return false;
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return fs::remove(from, ec);
}

// Calls visit(path, type) for each entry below root, links not followed;
// false when the walk could not finish.
template <typename Visit>
bool WalkTree(const fs::path& root, Visit visit) {
    std::error_code ec;
    fs::recursive_directory_iterator it(root, ec);
    if (ec)
        return false;
    for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
        const fs::file_type type = it->symlink_status(ec).type();
        if (ec)
            return false;
        visit(it->path(), type);
    }
    return !ec;
}

// The relative paths of the files and folders below root (links skipped).
bool ListTree(const fs::path& root, std::vector<fs::path>& files, std::set<fs::path>& all) {
    return WalkTree(root, [&](const fs::path& path, fs::file_type type) {
        const fs::path rel = path.lexically_relative(root);
        if (type == fs::file_type::regular) {
            files.push_back(rel);
            all.insert(rel);
        } else if (type == fs::file_type::directory) {
            all.insert(rel);
        }
    });
}

// Deletes what lies below folder but not in keep, deepest first. Links are
// left alone: the copy never held them.
bool DeleteOthers(const fs::path& folder, const std::set<fs::path>& keep) {
    std::error_code ec;
    std::vector<std::pair<fs::path, fs::file_type>> entries;
    const bool walked = WalkTree(folder, [&](const fs::path& path, fs::file_type type) {
        entries.emplace_back(path, type);
    });
    if (!walked)
        return false;
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
        if (keep.count(e->first.lexically_relative(folder)) != 0)
            continue;
        if (e->second == fs::file_type::directory) {
            if (!DeleteFolderTree(e->first.string()))
                return false;
        } else if (e->second == fs::file_type::regular) {
            if (!fs::remove(e->first, ec) || ec)
                return false;
        }
    }
    return true;
}

}  // namespace

std::string DefaultBackupFolder() {
    std::string documents;
    if (!GetMyDocumentsFolder(documents) || documents.empty())
        return std::string();
    return JoinPath(JoinPath(documents, "Brackwater/Tallowmere"), "Backup");
}

bool CUserBackup::BackupUserFolder(const std::string& root, const std::string& runName,
                                   const std::string& userFolder) {
    folder_.clear();
    if (root.empty() || userFolder.empty() || CreateDirectoryPath(root) != 0)
        return false;
    const std::string base = JoinPath(root, runName + "-" + RunStamp());
    std::string folder = base;
    // A folder made here is this run's alone.
    for (int n = 1; mkdir(folder.c_str(), 0700) != 0; ++n) {
        if (errno != EEXIST || n > 100)
            return false;
        folder = base + "-" + std::to_string(n);
    }
    if (!CopyFolderTree(userFolder, folder)) {
        DeleteFolderTree(folder);
        return false;
    }
    root_ = root;
    folder_ = folder;
    userFolder_ = userFolder;
    return true;
}

bool CUserBackup::RestoreBackup() {
    if (folder_.empty())
        return false;
    std::vector<fs::path> files;
    std::set<fs::path> all;
    if (!ListTree(folder_, files, all))
        return false;
    std::error_code ec;
    const fs::path user(userFolder_);
    fs::create_directories(user, ec);
    for (const auto& rel : files) {
        fs::create_directories((user / rel).parent_path(), ec);
        if (!MoveOver(fs::path(folder_) / rel, user / rel))
            return false;
    }
    if (!DeleteOthers(user, all))
        return false;
    return DeleteBackup();
}

bool CUserBackup::DeleteBackup() {
    if (folder_.empty())
        return true;
    const bool deleted = DeleteFolderTree(folder_);
    if (deleted) {
        folder_.clear();
        std::error_code ec;
        fs::remove(root_, ec);  // only when empty
    }
    return deleted;
}

}  // namespace tallowmere::handheld

#include "ui/logic/password_change.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "model/accounts.h"
#include "model/archive.h"
#include "model/paths.h"
#include "platform/atomic_file.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere::ui {
namespace {

namespace fs = std::filesystem;

bool EndsWithNoCase(std::string_view name, std::string_view end) {
    return name.size() >= end.size() &&
           platform::CompareNoCase1252(name.substr(name.size() - end.size()), end) == 0;
}

// The folder's files whose names end as given (in any case); nothing when it
// cannot be listed to its end.
std::optional<std::vector<std::string>> ListFilesEndingIn(const std::string& folder,
                                                          std::string_view end) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return std::nullopt;
    std::vector<std::string> paths;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        const std::string name = it->path().filename().string();
        if (EndsWithNoCase(name, end))
            paths.push_back(it->path().string());
    }
    if (ec)
        return std::nullopt;
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string MarkerPath(const std::string& folder) {
    return JoinPath(folder, kPasswordPendingFile);
}

// Renames survive a crash only once the folder is on the disk.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

void RemoveFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        std::remove(path.c_str());
}

}  // namespace

std::optional<std::vector<std::string>> ListAccountFiles(const std::string& folder) {
    return ListFilesEndingIn(folder, std::string(".") + kAccountFileExtension);
}

int WriteReKeyedFiles(const std::vector<std::string>& files, const HeaderCipher& oldCipher,
                      const HeaderCipher& newCipher) {
    std::vector<std::string> written;
    int result = 0;
    // One account at a time: a register can be large.
    for (const std::string& file : files) {
        CAccounts scratch;
        scratch.SetCipher(oldCipher);
        result = scratch.LoadAccountFile(file);
        if (result != 0)
            break;
        scratch.SetCipher(newCipher);
        const std::string target = file + kReKeyedSuffix;
        result = SaveObjectFile(target, *scratch.GetAccountAt(0));
        if (result != 0)
            break;
        written.push_back(target);
    }
    if (result != 0)
        RemoveFiles(written);
    return result;
}

int WritePendingMarker(const std::string& folder, const PasswordCrib& crib) {
    return platform::WriteFileAtomic(MarkerPath(folder), crib);
}

int CommitReKeyedFiles(const std::vector<std::string>& files) {
    int result = 0;
    for (const std::string& file : files) {
        const std::string from = file + kReKeyedSuffix;
        if (std::rename(from.c_str(), file.c_str()) != 0 && result == 0)
            result = platform::WinErrorFromErrno(errno);
    }
    if (!files.empty())
        SyncFolder(GetPathFolder(files.front(), false));
    return result;
}

void DiscardPasswordChange(const std::string& folder) {
    if (auto leftovers =
            ListFilesEndingIn(folder, std::string(".") + kAccountFileExtension + kReKeyedSuffix))
        RemoveFiles(*leftovers);
    RemovePendingMarker(folder);
}

void RemovePendingMarker(const std::string& folder) {
    std::remove(MarkerPath(folder).c_str());
    SyncFolder(folder);
}

PendingPasswordChange SettlePendingPasswordChange(const std::string& folder,
                                                  const PasswordCrib& storedCrib) {
    if (folder.empty())
        return PendingPasswordChange::kNone;
    std::vector<std::uint8_t> marker;
    if (platform::ReadWholeFile(MarkerPath(folder), marker) != 0) {
        // Without a marker, ".new" files are an unfinished first step.
        const auto leftovers =
            ListFilesEndingIn(folder, std::string(".") + kAccountFileExtension + kReKeyedSuffix);
        if (!leftovers || leftovers->empty())
            return PendingPasswordChange::kNone;
        RemoveFiles(*leftovers);
        return PendingPasswordChange::kUndone;
    }
    PasswordCrib crib{};
    if (marker.size() == crib.size()) {
        std::copy(marker.begin(), marker.end(), crib.begin());
        if (CribsEqual(crib, storedCrib)) {
            const auto renamed = ListFilesEndingIn(
                folder, std::string(".") + kAccountFileExtension + kReKeyedSuffix);
            std::vector<std::string> files;
            for (const std::string& path : renamed.value_or(std::vector<std::string>{}))
                files.push_back(
                    path.substr(0, path.size() - std::string_view(kReKeyedSuffix).size()));
            // The marker stays until every file has its new key.
            if (renamed && CommitReKeyedFiles(files) == 0) {
                RemovePendingMarker(folder);
                return PendingPasswordChange::kFinished;
            }
            return PendingPasswordChange::kNone;
        }
    }
    DiscardPasswordChange(folder);
    return PendingPasswordChange::kUndone;
}

}  // namespace tallowmere::ui

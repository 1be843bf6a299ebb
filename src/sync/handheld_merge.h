#pragma once
// One merge of a handheld database with a user's desktop data set. The sync
// server builds one per run after the backup, calls Run once and drops it.
// The file has passed CheckSchema before: the merge trusts its shape.
#include <functional>
#include <string>
#include <string_view>

namespace tallowmere {
class CSqliteBudget;
}

namespace tallowmere::handheld {

// What the server hands the run. The mode is a value of this run only: the
// program-wide current mode is the server's business.
struct MergeRunOptions {
    // 0 two-way, 1 desktop overwrites handheld, 2 handheld overwrites
    // desktop; any other value counts as 0.
    int mode = 0;
    // The device had no desktop user before this run: the run uses mode 2.
    bool newDeviceUser = false;
    // Status texts for the progress display ("Writing updated data to
    // desktop"); may be empty.
    std::function<void(std::string_view)> status;
    // The session's limit on SQLite work, set on the run's connection; null
    // for none. It must outlive the run.
    CSqliteBudget* sqliteBudget = nullptr;
};

class CHandheldMerge {
  public:
    CHandheldMerge(std::string dataFolder, std::string databasePath, MergeRunOptions options);
    ~CHandheldMerge();
    CHandheldMerge(const CHandheldMerge&) = delete;
    CHandheldMerge& operator=(const CHandheldMerge&) = delete;

    // 0 success; anything else failure, and then the desktop files are as
    // they were before the run.
    int Run();

    // The mode the run uses: 2 for a new device, else the given mode, with
    // values outside 0..2 counted as 0.
    int EffectiveMode() const;

    // The standard time-zone bias in minutes (UTC = local + bias) that the
    // dates of this run are converted with; taken from TZ when the engine
    // is made. Tests set it so they need no TZ of their own.
    void SetTimeZoneBias(int minutes);

  private:
    std::string dataFolder_;
    std::string databasePath_;
    MergeRunOptions options_;
    int biasMinutes_ = 0;
};

}  // namespace tallowmere::handheld

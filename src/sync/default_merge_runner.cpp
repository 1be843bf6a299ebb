#include <utility>

#include "sync/handheld_merge.h"
#include "sync/sync_server.h"

namespace tallowmere::handheld {

MergeRunner DefaultMergeRunner() {
    return [](const std::string& dataFolder, const std::string& databasePath,
              MergeRunOptions options) {
        CHandheldMerge merge(dataFolder, databasePath, std::move(options));
        return merge.Run();
    };
}

}  // namespace tallowmere::handheld

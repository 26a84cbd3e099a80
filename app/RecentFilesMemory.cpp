#include "app/RecentFilesMemory.h"

#include "app/RMFileInfosManager.h"
#include "platform/BackgroundReads.h"
#include "platform/NotificationCenter.h"

#include <QFileInfo>

#include <QSettings>

#include <algorithm>

namespace {

const QString kKey = QStringLiteral("recentFiles");
// The newest files kept; older ones are of no use in a menu and only slow the start.
constexpr size_t kKept = 100;

} // namespace

RecentFilesMemory::RecentFilesMemory(RMFileInfosManager& store) : store_(store) {
    const auto kept =
        RMFileInfosManager::fileInfosArrayFromDictionaryArray(QSettings().value(kKey).toList());
    for (const RMFileInfo& info : kept)
        store_.updateByFilePath(info.filePath, info.recentUpdateTime);
    store_.sortInfosArrayByDate();
    QStringList paths;
    for (const RMFileInfo& info : kept)
        paths << info.filePath;
    BackgroundReads::start([paths, alive = std::weak_ptr<bool>(alive_), &store = store_] {
        QStringList gone;
        for (const QString& path : paths) {
            if (!QFileInfo::exists(path))
                gone << path;
        }
        return std::function<void()>([gone, alive, &store] {
            if (alive.expired())
                return;
            for (const QString& path : gone)
                store.removeFileInfo(path);
        });
    });
    NotificationCenter::defaultCenter().addObserver(&listening_,
                                                    RMFileInfosManager::kUpdateNotification,
                                                    [this](const Notification&) { write(); });
}

RecentFilesMemory::~RecentFilesMemory() {
    NotificationCenter::defaultCenter().removeObserver(&listening_);
}

void RecentFilesMemory::write() const {
    const auto& all = store_.fileInfoArray();
    // The list is oldest first.
    const std::vector<RMFileInfo> newest(all.end() - std::ptrdiff_t(std::min(all.size(), kKept)),
                                         all.end());
    QSettings().setValue(kKey, RMFileInfosManager::dictionaryArrayFromFileInfosArray(newest));
}

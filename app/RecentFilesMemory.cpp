#include "app/RecentFilesMemory.h"

#include "app/RMFileInfosManager.h"
#include "platform/NotificationCenter.h"

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

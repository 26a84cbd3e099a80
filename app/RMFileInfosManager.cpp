#include "app/RMFileInfosManager.h"

#include "platform/NotificationCenter.h"

#include <QVariantMap>

#include <algorithm>

RMFileInfosManager& RMFileInfosManager::sharedInstance() {
    static RMFileInfosManager store;
    return store;
}

void RMFileInfosManager::updateFileInfo(const QString& path) {
    updateFileInfos({path});
}

void RMFileInfosManager::updateFileInfos(const QStringList& paths) {
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString& path : paths)
        updateByFilePath(path, now);
    sortInfosArrayByDate();
    postUpdate();
}

void RMFileInfosManager::updateByFilePath(const QString& path, const QDateTime& date) {
    const auto entry = std::find_if(fileInfoArray_.begin(), fileInfoArray_.end(),
                                    [&](const RMFileInfo& info) { return info.filePath == path; });
    if (entry != fileInfoArray_.end())
        entry->recentUpdateTime = date;
    else
        fileInfoArray_.push_back(RMFileInfo{path, date});
}

void RMFileInfosManager::sortInfosArrayByDate() {
    std::stable_sort(
        fileInfoArray_.begin(), fileInfoArray_.end(), [](const RMFileInfo& a, const RMFileInfo& b) {
            return a.recentUpdateTime.toMSecsSinceEpoch() < b.recentUpdateTime.toMSecsSinceEpoch();
        });
}

void RMFileInfosManager::removeFileInfo(const QString& path) {
    const auto entry = std::find_if(fileInfoArray_.begin(), fileInfoArray_.end(),
                                    [&](const RMFileInfo& info) { return info.filePath == path; });
    if (entry != fileInfoArray_.end())
        fileInfoArray_.erase(entry);
    postUpdate();
}

void RMFileInfosManager::clearFiles() {
    fileInfoArray_.clear();
    postUpdate();
}

QVariantList
RMFileInfosManager::dictionaryArrayFromFileInfosArray(const std::vector<RMFileInfo>& infos) {
    QVariantList records;
    for (const RMFileInfo& info : infos)
        records.append(QVariantMap{{kPathKey, info.filePath}, {kDateKey, info.recentUpdateTime}});
    return records;
}

std::vector<RMFileInfo>
RMFileInfosManager::fileInfosArrayFromDictionaryArray(const QVariantList& records) {
    std::vector<RMFileInfo> infos;
    for (const QVariant& record : records) {
        const QVariantMap map = record.toMap();
        RMFileInfo info{map.value(kPathKey).toString(), map.value(kDateKey).toDateTime()};
        if (!info.filePath.isEmpty())
            infos.push_back(std::move(info));
    }
    return infos;
}

void RMFileInfosManager::postUpdate() const {
    NotificationCenter::defaultCenter().post(kUpdateNotification);
}

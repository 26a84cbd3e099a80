#pragma once

#include "app/RMFileInfo.h"

#include <QStringList>
#include <QVariantList>

#include <vector>

// The files opened recently, one entry per path, oldest first.
//
// Paths are compared as exact strings: two spellings of one file are two entries. The list
// itself lives in memory (RecentFilesMemory keeps it between runs). Every recording, removal and
// clearing posts kUpdateNotification (no sender, no object) through the default notification
// center, also when nothing changed, so lists showing the entries can reload.
//
// GUI thread only, apart from the one-time creation of the shared store.
class RMFileInfosManager {
public:
    static inline const QString kUpdateNotification =
        QStringLiteral("__Recent_FileInfos_Update_Notification__");
    // Keys of the record form.
    static inline const QString kPathKey = QStringLiteral("__Recent_FileInfos_Path_Key__");
    static inline const QString kDateKey = QStringLiteral("__Recent_FileInfos_Date_Key__");

    static RMFileInfosManager& sharedInstance();

    const std::vector<RMFileInfo>& fileInfoArray() const { return fileInfoArray_; }

    // Records path at the current time, then sorts and notifies.
    void updateFileInfo(const QString& path);
    // Records every path with one shared current time, then sorts and notifies.
    void updateFileInfos(const QStringList& paths);
    // Records path with date: an entry already there takes the date and keeps its place, a
    // new one goes at the end. Neither sorts nor notifies.
    void updateByFilePath(const QString& path, const QDateTime& date);
    // Oldest first; entries of equal times keep their order.
    void sortInfosArrayByDate();
    // Removes the entry of path, if there is one, and notifies.
    void removeFileInfo(const QString& path);
    // Removes every entry and notifies.
    void clearFiles();

    // The entries as records with the path under kPathKey and the time under kDateKey.
    static QVariantList dictionaryArrayFromFileInfosArray(const std::vector<RMFileInfo>& infos);
    // Records back into entries, in their order, those without a path left out.
    static std::vector<RMFileInfo> fileInfosArrayFromDictionaryArray(const QVariantList& records);

private:
    void postUpdate() const;

    std::vector<RMFileInfo> fileInfoArray_;
};

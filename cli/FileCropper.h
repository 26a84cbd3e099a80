#pragma once

#include "cli/CropRequest.h"
#include "cli/FileOutcome.h"
#include "crop/RemovedOutside.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Console;
class CropSession;
class RenderWorkplace;

// Crops one file as a crop command asks, the way the window does: opened in the program's render
// workplace and repaired when damaged, unlocked, cropped through its crop session, applied
// as "Done" applies crops and saved as the window saves (to a temporary file, forced to disk,
// read back, renamed over the target). A dry run writes nothing and reports the boxes; to
// report what removing the content outside the crops would take, it saves to a file of its
// own that it deletes.
//
// Any thread; each crop() has documents and render hosts of its own.
class FileCropper {
public:
    FileCropper(const CropRequest& request, Console& console,
                std::shared_ptr<const RenderWorkplace> workplace);

    // Crops input, the number-th of count files (for the progress line).
    FileOutcome crop(const QString& input, int number, int count) const;
    // Where the result for input is written.
    QString outputPath(const QString& input) const;

private:
    using Step = std::function<void(const QString& what)>;

    // Why the locked document of input cannot be unlocked; nothing once it is.
    std::optional<QString> unlock(CropSession& session, const QString& input) const;
    // Splits pages (numbers from 1) as the request says; the pages they are now.
    std::vector<qint64> split(CropSession& session, const std::vector<qint64>& pages) const;
    // Sets the crops of pages (numbers from 1); why it cannot, when it cannot.
    std::optional<QString> setCrops(CropSession& session, const std::vector<qint64>& pages,
                                    FileOutcome& outcome, const Step& step) const;
    std::optional<QString> fitToContent(CropSession& session, const std::vector<qint64>& pages,
                                        FileOutcome& outcome, const Step& step) const;
    // What saving the session's document would take out of its pages, learnt by saving it to
    // a file that is then deleted; why it cannot be learnt, when it cannot.
    std::optional<QString> wouldRemove(const CropSession& session, const Step& step,
                                       std::vector<RemovedOutside>& removed) const;
    // Writes the session's document, reporting the pages written; removed, when given, is told
    // what the pages lost.
    std::optional<QString> write(const CropSession& session, const QString& path, const Step& step,
                                 std::vector<RemovedOutside>* removed = nullptr) const;

    const CropRequest& request_;
    Console& console_;
    const std::shared_ptr<const RenderWorkplace> workplace_;
};

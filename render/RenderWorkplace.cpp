#include "render/RenderWorkplace.h"

#include "render/InProcessWorkplace.h"
#include "render/RenderHostWorkplace.h"

#include <QFileInfo>

std::shared_ptr<const RenderWorkplace> RenderWorkplace::choose(const QStringList& hostCandidates) {
    for (const QString& candidate : hostCandidates) {
        const QFileInfo file(candidate);
        if (file.isFile() && file.isExecutable())
            return std::make_shared<RenderHostWorkplace>(file.absoluteFilePath());
    }
    return std::make_shared<InProcessWorkplace>();
}

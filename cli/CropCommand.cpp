#include "cli/CropCommand.h"

#include "cli/CommandUsage.h"
#include "cli/Console.h"
#include "cli/CropArguments.h"
#include "cli/FileCropper.h"
#include "cli/OrderedJobs.h"

#include <cstdio>

namespace CropCommand {

int run(const QStringList& arguments, std::shared_ptr<const RenderWorkplace> workplace) {
    const CropArguments::Parsed parsed = CropArguments::parse(arguments);
    if (parsed.help) {
        std::fputs(CommandUsage::crop().toLocal8Bit().constData(), stdout);
        return kAllCropped;
    }
    if (!parsed.request) {
        const QString text = QStringLiteral("cropmark crop: %1\n").arg(parsed.error);
        std::fputs((text + CommandUsage::cropBrief()).toLocal8Bit().constData(), stderr);
        return kUsageError;
    }
    const CropRequest& request = *parsed.request;
    Console console;
    const FileCropper cropper(request, console, std::move(workplace));
    const auto count = static_cast<int>(request.inputs.size());
    bool allCropped = true;
    OrderedJobs::run(
        count, request.jobs,
        [&](int index) { return cropper.crop(request.inputs[index], index + 1, count); },
        [&](int index, const FileOutcome& outcome) {
            const QString& input = request.inputs[index];
            for (const QString& line : outcome.lines)
                console.result(line);
            for (const QString& warning : outcome.warnings)
                console.error(input + QStringLiteral(": ") + warning);
            if (!outcome.ok) {
                console.error(input + QStringLiteral(": ") + outcome.error);
                allCropped = false;
            }
        });
    console.finish();
    return allCropped ? kAllCropped : kSomeFailed;
}

} // namespace CropCommand

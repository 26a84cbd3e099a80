#include "render/host/RenderHost.h"

#include "crop/PdfSourceData.h"
#include "crop/QpdfLoader.h"
#include "crop/QpdfRenderCopy.h"
#include "render/MupdfRasterizer.h"
#include "render/MupdfRepair.h"
#include "render/RenderHostProtocol.h"

#include <sys/resource.h>
#include <unistd.h>

namespace RenderHost {

namespace {

constexpr int kInput = 0;
constexpr int kOutput = 1;
constexpr int kDocument = 3;

void limitMemory(int megabytes) {
#if !defined(__SANITIZE_ADDRESS__)
    // A sanitizer reserves terabytes of address space for its shadow memory; it runs uncapped.
    if (megabytes > 0) {
        const rlim_t bytes = rlim_t(megabytes) << 20;
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
    }
#else
    Q_UNUSED(megabytes)
#endif
}

int draw(std::shared_ptr<const PdfSourceData> data, const QByteArray& password) {
    MupdfRasterizer rasterizer(PdfRenderSource{std::move(data), password});
    QString openError;
    if (rasterizer.pageCount() == 0)
        openError = rasterizer.render({}, {}).error;
    if (!RenderHostProtocol::writeFrame(
            kOutput, RenderHostProtocol::encodeOpened(rasterizer.pageCount(), openError)))
        return 1;
    while (const std::optional<QByteArray> message = RenderHostProtocol::readFrame(kInput, -1)) {
        const std::optional<PageRenderRequest> request =
            RenderHostProtocol::decodeRequest(*message);
        const PageRenderResult result =
            request ? rasterizer.render(*request, {})
                    : PageRenderResult::failure(QStringLiteral("The request was not understood."));
        if (!RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodeResult(result)))
            return 1;
    }
    return 0;
}

} // namespace

int run(Task task, int memoryLimitMb) {
    limitMemory(memoryLimitMb);
    const std::optional<QByteArray> password = RenderHostProtocol::readFrame(kInput, -1);
    if (!password)
        return 1;
    QString error;
    auto data = PdfSourceData::mapFile(QStringLiteral("/proc/self/fd/%1").arg(kDocument), &error);
    ::close(kDocument);
    switch (task) {
    case Task::Draw:
        if (!data) {
            RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodeOpened(0, error));
            return 1;
        }
        return draw(std::move(data), *password);
    case Task::ReadPages:
    case Task::ReadFirstPage: {
        PagesRead read;
        read.reason = error;
        if (data) {
            read = task == Task::ReadPages ? readPagesHere(*data, *password)
                                           : readFirstPageHere(*data, *password);
        }
        return RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodePages(read)) ? 0
                                                                                              : 1;
    }
    case Task::Rewrite: {
        const std::optional<PdfRenderSource> copy =
            data ? QpdfRenderCopy::of({data, *password}) : std::nullopt;
        const std::optional<QByteArray> bytes =
            copy ? std::optional<QByteArray>(copy->data->bytes().toByteArray()) : std::nullopt;
        return RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodeBytes(bytes)) ? 0
                                                                                               : 1;
    }
    case Task::Repair: {
        const std::optional<QByteArray> repaired =
            data ? MupdfRepair::repairedCopy(data->bytes()) : std::nullopt;
        return RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodeBytes(repaired))
                   ? 0
                   : 1;
    }
    }
    return 1;
}

} // namespace RenderHost

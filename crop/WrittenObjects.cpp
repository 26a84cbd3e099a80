#include "crop/WrittenObjects.h"

WrittenObjects::WrittenObjects(qint64 from, bool renumbered, std::map<int, Id> sources,
                               QByteArray appended)
    : from_(from), renumbered_(renumbered), sources_(std::move(sources)),
      appended_(std::move(appended)) {}

WrittenObjects WrittenObjects::appendedTo(qint64 sourceSize, QByteArray appended) {
    return WrittenObjects(sourceSize, false, {}, std::move(appended));
}

WrittenObjects WrittenObjects::rewritten(std::map<int, Id> streamSources) {
    return WrittenObjects(0, true, std::move(streamSources), {});
}

std::optional<WrittenObjects::Id> WrittenObjects::source(Id id) const {
    if (!renumbered_)
        return id;
    // A rewrite numbers every object afresh, with generation 0.
    const auto found = sources_.find(id.number);
    if (found == sources_.end() || id.generation != 0)
        return std::nullopt;
    return found->second;
}

#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <map>
#include <optional>
#include <tuple>

// Which objects of a saved file its save wrote, for reading the file back: the save's own
// bytes start at from(), and everything before them is the source's, byte for byte. A stream
// the save wrote may be a copy of a source stream under another number.
class WrittenObjects {
public:
    struct Id {
        int number = 0;
        int generation = 0;
        // Spelt out, as the fuzz build reads this as C++17.
        bool operator<(const Id& other) const {
            return std::tie(number, generation) < std::tie(other.number, other.generation);
        }
        bool operator==(const Id& other) const {
            return number == other.number && generation == other.generation;
        }
    };

    // An incremental update: the source's bytes, then appended, new versions of some of its
    // objects under their own numbers.
    static WrittenObjects appendedTo(qint64 sourceSize, QByteArray appended);
    // A whole file written anew: every object is the save's, and each stream copied from the
    // source is under the number that streamSources maps to the source's own.
    static WrittenObjects rewritten(std::map<int, Id> streamSources);

    qint64 from() const { return from_; }
    bool isUpdate() const { return !renumbered_; }
    // What an update appended to the source's bytes.
    const QByteArray& appended() const { return appended_; }
    // The source object that the stream id of the saved file was copied from; nothing for a
    // stream the save made itself (object streams, cross-reference streams).
    std::optional<Id> source(Id id) const;

private:
    WrittenObjects(qint64 from, bool renumbered, std::map<int, Id> sources, QByteArray appended);

    qint64 from_;
    bool renumbered_;
    std::map<int, Id> sources_;
    QByteArray appended_;
};

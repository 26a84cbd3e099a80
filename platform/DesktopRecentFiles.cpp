#include "platform/DesktopRecentFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <mutex>

namespace DesktopRecentFiles {

namespace {

const QString kBookmarkNs =
    QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString kMimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");
const QString kMetadataOwner = QStringLiteral("http://freedesktop.org");

// What one call writes: the file's entry and this program's part of it.
struct Entry {
    QString href;
    QString application;
    QString exec;
    QString now;
};

QXmlStreamAttributes withTimes(const QXmlStreamAttributes& attributes, const QString& now,
                               const QStringList& times) {
    QXmlStreamAttributes changed;
    for (const QXmlStreamAttribute& attribute : attributes)
        if (!times.contains(attribute.qualifiedName()))
            changed.append(attribute);
    for (const QString& time : times)
        changed.append(time, now);
    return changed;
}

void writeApplication(QXmlStreamWriter& out, const Entry& entry, int count) {
    out.writeEmptyElement(kBookmarkNs, QStringLiteral("application"));
    out.writeAttribute(QStringLiteral("name"), entry.application);
    out.writeAttribute(QStringLiteral("exec"), entry.exec);
    out.writeAttribute(QStringLiteral("modified"), entry.now);
    out.writeAttribute(QStringLiteral("count"), QString::number(count));
}

void writeInfo(QXmlStreamWriter& out, const Entry& entry) {
    out.writeStartElement(QStringLiteral("info"));
    out.writeStartElement(QStringLiteral("metadata"));
    out.writeAttribute(QStringLiteral("owner"), kMetadataOwner);
    out.writeEmptyElement(kMimeNs, QStringLiteral("mime-type"));
    out.writeAttribute(QStringLiteral("type"), QStringLiteral("application/pdf"));
    out.writeStartElement(kBookmarkNs, QStringLiteral("applications"));
    writeApplication(out, entry, 1);
    out.writeEndElement();
    out.writeEndElement();
    out.writeEndElement();
}

void writeBookmark(QXmlStreamWriter& out, const Entry& entry) {
    out.writeStartElement(QStringLiteral("bookmark"));
    out.writeAttribute(QStringLiteral("href"), entry.href);
    for (const char* time : {"added", "modified", "visited"})
        out.writeAttribute(QLatin1String(time), entry.now);
    writeInfo(out, entry);
    out.writeEndElement();
}

// Copies the list read by in to out with the entry in it; false when in is not such a list.
bool copyWithEntry(QXmlStreamReader& in, QXmlStreamWriter& out, const Entry& entry) {
    bool inEntry = false;
    bool applicationWritten = false;
    bool entryWritten = false;
    bool sawList = false;
    while (!in.atEnd()) {
        const QXmlStreamReader::TokenType token = in.readNext();
        if (token == QXmlStreamReader::Invalid)
            return false;
        const QStringView name = in.name();
        if (token == QXmlStreamReader::StartElement) {
            if (name == u"xbel" && in.namespaceUri().isEmpty())
                sawList = true;
            if (name == u"bookmark" && in.attributes().value(QLatin1String("href")) == entry.href) {
                inEntry = true;
                out.writeStartElement(QStringLiteral("bookmark"));
                out.writeAttributes(withTimes(in.attributes(), entry.now, {"modified", "visited"}));
                continue;
            }
            if (inEntry && name == u"application" && in.namespaceUri() == kBookmarkNs &&
                in.attributes().value(QLatin1String("name")) == entry.application) {
                writeApplication(out, entry,
                                 in.attributes().value(QLatin1String("count")).toInt() + 1);
                in.skipCurrentElement();
                applicationWritten = true;
                continue;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (inEntry && name == u"applications" && !applicationWritten) {
                writeApplication(out, entry, 1);
                applicationWritten = true;
            } else if (inEntry && name == u"bookmark") {
                if (!applicationWritten)
                    writeInfo(out, entry);
                inEntry = false;
                entryWritten = true;
            } else if (name == u"xbel" && in.namespaceUri().isEmpty() && !entryWritten) {
                writeBookmark(out, entry);
                entryWritten = true;
            }
        }
        out.writeCurrentToken(in);
    }
    return sawList && !in.hasError();
}

void writeNewList(QXmlStreamWriter& out, const Entry& entry) {
    out.writeStartDocument();
    out.writeStartElement(QStringLiteral("xbel"));
    out.writeNamespace(kBookmarkNs, QStringLiteral("bookmark"));
    out.writeNamespace(kMimeNs, QStringLiteral("mime"));
    out.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    writeBookmark(out, entry);
    out.writeEndElement();
    out.writeEndDocument();
}

} // namespace

QString listPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/recently-used.xbel");
}

bool add(const QString& path, const QString& application, const QString& exec) {
    // Two files opened at once would otherwise each write the list without the other's entry.
    static std::mutex oneAtATime;
    const std::lock_guard lock(oneAtATime);
    const Entry entry{QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()), application, exec,
                      QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)};
    const QString list = listPath();
    if (!QDir().mkpath(QFileInfo(list).absolutePath()))
        return false;
    QByteArray written;
    QXmlStreamWriter out(&written);
    out.setAutoFormatting(true);
    QFile old(list);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            return false;
        QXmlStreamReader in(&old);
        // A list this program cannot read is left for its owner to mend, not replaced.
        if (!copyWithEntry(in, out, entry))
            return false;
    } else {
        writeNewList(out, entry);
    }
    QSaveFile file(list);
    return file.open(QIODevice::WriteOnly) && file.write(written) == written.size() &&
           file.commit();
}

} // namespace DesktopRecentFiles

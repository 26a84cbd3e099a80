#include "cli/CropArguments.h"

#include "cli/PageSelectionArgument.h"
#include "crop/PagePart.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace CropArguments {

namespace {

Parsed usageError(const QString& error) {
    Parsed parsed;
    parsed.error = error;
    return parsed;
}

// The option as the user writes it: "--margins".
QString spelled(const QCommandLineOption& option) {
    return QStringLiteral("--") + option.names().constLast();
}

// One length, not negative, of option's value text; what is wrong with it otherwise.
std::optional<CropLength> lengthOf(const QCommandLineOption& option, const QString& text,
                                   QString& error) {
    const auto length = CropLength::parse(text);
    if (!length) {
        // The units are those CropLength reads.
        error = QStringLiteral("%1: \"%2\" is not a length: use pt, mm, in or %")
                    .arg(spelled(option), text.trimmed());
    } else if (length->value < 0) {
        error = QStringLiteral("%1: \"%2\" is negative").arg(spelled(option), text.trimmed());
    } else {
        return length;
    }
    return std::nullopt;
}

// Four lengths separated by commas, none negative, as option's value text; what is wrong with
// it otherwise.
std::optional<std::array<CropLength, 4>> fourLengths(const QCommandLineOption& option,
                                                     const QString& text, QString& error) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) {
        error =
            QStringLiteral("%1 takes %2: four lengths").arg(spelled(option), option.valueName());
        return std::nullopt;
    }
    std::array<CropLength, 4> lengths;
    for (int i = 0; i < 4; ++i) {
        const auto length = lengthOf(option, parts[i], error);
        if (!length)
            return std::nullopt;
        lengths[static_cast<size_t>(i)] = *length;
    }
    return lengths;
}

// "CxR": columns and rows, each from 1, two to the most parts a page is split into.
std::optional<std::pair<int, int>> grid(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*([0-9]+)\\s*x\\s*([0-9]+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int columns = match.captured(1).toInt();
    const int rows = match.captured(2).toInt();
    if (columns < 1 || rows < 1 || columns * rows < 2 || columns * rows > PagePart::kMostParts)
        return std::nullopt;
    return std::pair(columns, rows);
}

// The split asked for with --split and the options that go with it; what is wrong otherwise.
std::optional<PageSplit> splitOf(const QCommandLineParser& parser, const QCommandLineOption& split,
                                 const QCommandLineOption& splitAt, const QCommandLineOption& gap,
                                 const QCommandLineOption& order, QString& error) {
    const auto size = grid(parser.value(split));
    if (!size) {
        error = QStringLiteral("--split takes columns x rows, such as 2x1, of 2 to %1 parts")
                    .arg(PagePart::kMostParts);
        return std::nullopt;
    }
    PageSplit result;
    std::tie(result.columns, result.rows) = *size;
    if (parser.isSet(splitAt)) {
        // Lines go across a row of columns, or down a column of rows; not both.
        const int lines = std::max(result.columns, result.rows) - 1;
        const QStringList texts = parser.value(splitAt).split(u',');
        if ((result.columns > 1 && result.rows > 1) || texts.size() != lines) {
            error = QStringLiteral("--split-at takes one length for each line between the "
                                   "parts of a row or a column: %1 here")
                        .arg(result.columns > 1 && result.rows > 1 ? 0 : lines);
            return std::nullopt;
        }
        for (const QString& text : texts) {
            const auto line = lengthOf(splitAt, text, error);
            if (!line)
                return std::nullopt;
            result.lines.push_back(*line);
        }
    }
    if (parser.isSet(gap)) {
        const auto length = lengthOf(gap, parser.value(gap), error);
        if (!length)
            return std::nullopt;
        result.gap = *length;
    }
    const QString reading = parser.value(order);
    if (!reading.isEmpty() && reading != QLatin1String("ltr") && reading != QLatin1String("rtl")) {
        error = QStringLiteral("--order takes ltr or rtl, not \"%1\"").arg(reading);
        return std::nullopt;
    }
    result.rightToLeft = reading == QLatin1String("rtl");
    return result;
}

// The first unknown option the parser found, as the user typed it.
QString spelledUnknown(const QCommandLineParser& parser, const QStringList& arguments) {
    const QStringList unknown = parser.unknownOptionNames();
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        const QString name = argument.section(u'=', 0, 0).remove(QRegularExpression("^--?"));
        if (argument.startsWith(u'-') && unknown.contains(name))
            return argument;
    }
    return {};
}

} // namespace

QString unknownOption(const QString& argument) {
    return QStringLiteral("unknown option \"%1\" (put -- before a file whose name begins with -)")
        .arg(argument);
}

Parsed parse(const QStringList& arguments) {
    const QCommandLineOption box(QStringLiteral("box"), {}, QStringLiteral("X,Y,W,H"));
    const QCommandLineOption margins(QStringLiteral("margins"), {}, QStringLiteral("L,T,R,B"));
    const QCommandLineOption fitContent(QStringLiteral("fit-content"));
    const QCommandLineOption pad(QStringLiteral("pad"), {}, QStringLiteral("LENGTH"));
    const QCommandLineOption sameSize(QStringLiteral("same-size"));
    const QCommandLineOption restore(QStringLiteral("restore"));
    const QCommandLineOption removeOutside(QStringLiteral("remove-outside"));
    const QCommandLineOption split(QStringLiteral("split"), {}, QStringLiteral("CxR"));
    const QCommandLineOption splitAt(QStringLiteral("split-at"), {}, QStringLiteral("LENGTH"));
    const QCommandLineOption gap(QStringLiteral("gap"), {}, QStringLiteral("LENGTH"));
    const QCommandLineOption order(QStringLiteral("order"), {}, QStringLiteral("ltr|rtl"));
    const QCommandLineOption pages(QStringLiteral("pages"), {}, QStringLiteral("SELECTION"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")}, {},
                                    QStringLiteral("OUT.pdf"));
    const QCommandLineOption password(QStringLiteral("password"), {}, QStringLiteral("PW"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption jobs(QStringLiteral("jobs"), {}, QStringLiteral("N"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});

    QCommandLineParser parser;
    // "-dash.pdf" is one word, not the options d, a, s and so on.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({box, margins, fitContent, pad, sameSize, restore, removeOutside, split,
                       splitAt, gap, order, pages, output, password, dryRun, jobs, help});
    // The parser takes the first argument for the program's name.
    if (!parser.parse(QStringList(QStringLiteral("cropmark crop")) + arguments)) {
        if (const QString unknown = spelledUnknown(parser, arguments); !unknown.isEmpty())
            return usageError(unknownOption(unknown));
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        Parsed parsed;
        parsed.help = true;
        return parsed;
    }

    CropRequest request;
    request.inputs = parser.positionalArguments();
    if (request.inputs.isEmpty())
        return usageError(QStringLiteral("no input file"));
    if (parser.isSet(output)) {
        if (request.inputs.size() != 1)
            return usageError(QStringLiteral("-o names the output of exactly one input file"));
        request.output = parser.value(output);
    }

    const int actions = int(parser.isSet(box)) + int(parser.isSet(margins)) +
                        int(parser.isSet(fitContent)) + int(parser.isSet(restore));
    if (parser.isSet(split)) {
        if (actions > 1 || parser.isSet(restore)) {
            return usageError(QStringLiteral(
                "--split goes with at most one of --box, --margins and --fit-content"));
        }
        QString error;
        request.split = splitOf(parser, split, splitAt, gap, order, error);
        if (!request.split)
            return usageError(error);
    } else if (parser.isSet(splitAt) || parser.isSet(gap) || parser.isSet(order)) {
        return usageError(QStringLiteral("--split-at, --gap and --order go with --split"));
    } else if (actions != 1) {
        return usageError(
            QStringLiteral("give exactly one of --box, --margins, --fit-content and --restore"));
    }
    if (actions == 0) {
        request.action = CropRequest::Action::None;
    } else if (parser.isSet(box) || parser.isSet(margins)) {
        const bool isBox = parser.isSet(box);
        const QCommandLineOption& given = isBox ? box : margins;
        QString error;
        const auto lengths = fourLengths(given, parser.value(given), error);
        if (!lengths)
            return usageError(error);
        request.action = isBox ? CropRequest::Action::Box : CropRequest::Action::Margins;
        request.lengths = *lengths;
    } else if (parser.isSet(restore)) {
        // What a restore puts back is whatever each page kept; it has no page selection.
        if (parser.isSet(pages))
            return usageError(
                QStringLiteral("--restore puts back every page; --pages does not go with it"));
        if (parser.isSet(removeOutside)) {
            return usageError(QStringLiteral(
                "--remove-outside leaves nothing to restore; it does not go with --restore"));
        }
        request.action = CropRequest::Action::Restore;
    } else {
        request.action = CropRequest::Action::FitContent;
    }
    if ((parser.isSet(pad) || parser.isSet(sameSize)) &&
        request.action != CropRequest::Action::FitContent)
        return usageError(QStringLiteral("--pad and --same-size go with --fit-content"));
    if (parser.isSet(pad)) {
        QString error;
        const auto padding = lengthOf(pad, parser.value(pad), error);
        if (!padding)
            return usageError(error);
        request.padding = *padding;
    }
    request.sameSize = parser.isSet(sameSize);

    if (parser.isSet(pages)) {
        const auto selection = PageSelectionArgument::parse(parser.value(pages));
        if (!selection) {
            return usageError(
                QStringLiteral("--pages takes all, odd, even, portrait, landscape, N and N-M, "
                               "separated by commas, not \"%1\"")
                    .arg(parser.value(pages)));
        }
        request.selection = *selection;
    }
    if (parser.isSet(password))
        request.password = parser.value(password);
    request.removesOutside = parser.isSet(removeOutside);
    request.dryRun = parser.isSet(dryRun);
    if (parser.isSet(jobs)) {
        bool ok = false;
        request.jobs = parser.value(jobs).toInt(&ok);
        if (!ok || request.jobs < 1)
            return usageError(QStringLiteral("--jobs takes a whole number from 1 up"));
    }
    Parsed parsed;
    parsed.request = request;
    return parsed;
}

} // namespace CropArguments

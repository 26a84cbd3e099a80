#pragma once

#include <QElapsedTimer>
#include <QString>

#include <mutex>
#include <optional>

// Where the command line speaks, shared by the files cropped at once: results on standard
// output, errors on standard error, and a progress line on standard error when that is a
// terminal (and nothing of it otherwise, so logs and pipes stay clean). A message first clears
// the progress line it would otherwise run into.
//
// Thread-safe: every call is whole on its own line.
class Console {
public:
    Console();

    // Replaces the progress line (terminals only). A text that differs from the one shown only
    // in its numbers, a count moving on, is shown at most 25 times a second: a line for each
    // page of a 10,000-page file took a terminal longer to show than the crop took.
    void progress(const QString& text);
    // One line on standard output.
    void result(const QString& line);
    // "cropmark: text" on standard error.
    void error(const QString& text);
    // Asks for a password on the terminal; nothing when there is none to ask on.
    std::optional<QString> askPassword(const QString& prompt);
    // Clears the progress line, when one is shown.
    void finish();

private:
    void clearProgress();

    std::mutex mutex_;
    const bool showsProgress_;
    bool progressShown_ = false;
    // The progress shown last without its digits, and since when.
    QString shownStep_;
    QElapsedTimer sinceShown_;
};

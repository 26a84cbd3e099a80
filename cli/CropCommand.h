#pragma once

#include <QStringList>

#include <memory>

class RenderWorkplace;

// `cropmark crop [OPTIONS] IN.pdf...`: crops files without a window, each as the window would
// crop and save it, reporting each file that fails and going on with the others.
namespace CropCommand {

// The exit statuses.
inline constexpr int kAllCropped = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kUsageError = 2;

// Runs the command with the arguments after the word crop; returns the exit status. Needs a
// QCoreApplication (no GUI one: nothing here draws on a display). Files are read, measured
// and saved in workplace.
int run(const QStringList& arguments, std::shared_ptr<const RenderWorkplace> workplace);

} // namespace CropCommand

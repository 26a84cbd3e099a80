#pragma once

#include <gtest/gtest.h>

#include <QRectF>
#include <QString>
#include <QStringList>

#include <concepts>
#include <ostream>
#include <string>
#include <vector>

// The built cropmark executable run as a user runs it from a shell, but with no display at all:
// no DISPLAY, no WAYLAND_DISPLAY and no Qt platform chosen, so anything that needed a window
// system would fail.
struct CropmarkRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs `cropmark arguments...` in folder and waits for it (failing the test when it does not
// end within two minutes).
CropmarkRun runCropmark(const QStringList& arguments, const QString& folder);

// The crop box of every page of the file at path, as readers take it: the media box when
// there is none.
std::vector<QRectF> cropBoxes(const QString& path, const QString& password = {});
// The box written under key ("/CropBox", "/MediaBox", ...) on every page of the file at path.
std::vector<QRectF> writtenBoxes(const QString& path, const char* key,
                                 const QString& password = {});

// A parameterised test's case printed as its name, in test lists and failure messages; a test
// file's own namespace takes it in with `using ::PrintTo;`.
template <class Case>
requires std::same_as<decltype(Case::name), const char*>
void PrintTo(const Case& test, std::ostream* out) {
    *out << test.name;
}

// Names a parameterised test after its case's name.
struct CaseName {
    template <class Case> std::string operator()(const testing::TestParamInfo<Case>& test) const {
        return test.param.name;
    }
};

#include "cli/ToolkitOptions.h"

#include <QLatin1String>
#include <QStringView>

#include <algorithm>
#include <array>

namespace ToolkitOptions {

namespace {

// The names, without their dashes.
constexpr std::array kWithValue = {
    QLatin1String("platform"),        QLatin1String("platformpluginpath"),
    QLatin1String("platformtheme"),   QLatin1String("plugin"),
    QLatin1String("qwindowgeometry"), QLatin1String("qwindowicon"),
    QLatin1String("qwindowtitle"),    QLatin1String("session"),
    QLatin1String("style"),           QLatin1String("stylesheet"),
    QLatin1String("display"),         QLatin1String("geometry"),
};
constexpr std::array kWhole = {QLatin1String("reverse"), QLatin1String("widgetcount")};
constexpr std::array kJoinedToValue = {QLatin1String("style="), QLatin1String("stylesheet=")};
constexpr std::array kChoosingDisplay = {QLatin1String("platform"), QLatin1String("display")};

// argument without its one or two leading dashes; empty for anything else.
QStringView nameOf(const QString& argument) {
    if (argument.startsWith(QLatin1String("--")))
        return QStringView(argument).mid(2);
    if (argument.startsWith(u'-'))
        return QStringView(argument).mid(1);
    return {};
}

template <size_t N> bool isAmong(QStringView name, const std::array<QLatin1String, N>& names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

Kind kindOf(const QString& argument) {
    const QStringView name = nameOf(argument);
    if (isAmong(name, kWithValue))
        return Kind::WithValue;
    const bool joined =
        std::any_of(kJoinedToValue.begin(), kJoinedToValue.end(),
                    [name](QLatin1String prefix) { return name.startsWith(prefix); });
    return joined || isAmong(name, kWhole) ? Kind::Whole : Kind::NotOne;
}

bool choosesDisplay(const QString& argument) {
    return isAmong(nameOf(argument), kChoosingDisplay);
}

} // namespace ToolkitOptions

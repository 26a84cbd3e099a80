#pragma once

#include <QDateTime>
#include <QString>

// Small texts the windows share.
class RMUtil {
public:
    RMUtil() = delete;

    // date in local time as "HH:mm:ss yyyy-MM-dd" (24-hour clock, two-digit fields,
    // four-digit year), with the digits of the user's locale.
    static QString dateStrFromDate(const QDateTime& date);
    // The application's name as the user sees it; the start window's title.
    static QString productName();
};

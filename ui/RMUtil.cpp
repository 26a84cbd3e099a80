#include "ui/RMUtil.h"

#include <QGuiApplication>
#include <QLocale>

QString RMUtil::dateStrFromDate(const QDateTime& date) {
    return QLocale().toString(date.toLocalTime(), QStringLiteral("HH:mm:ss yyyy-MM-dd"));
}

QString RMUtil::productName() {
    return QGuiApplication::applicationDisplayName();
}

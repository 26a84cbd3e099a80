#include "ui/TVKSafeDictionary.h"

#include <QDebug>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace {

bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

bool isFloatingPoint(const QVariant& value) {
    return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

bool isInstance(const QVariant& value, TVKSafeDictionary::ValueClass cls) {
    using C = TVKSafeDictionary::ValueClass;
    const int type = value.typeId();
    switch (cls) {
    case C::Array:
        return type == QMetaType::QVariantList || type == QMetaType::QStringList;
    case C::Dictionary:
        return type == QMetaType::QVariantMap;
    case C::String:
        return type == QMetaType::QString;
    case C::Number:
        return isNumber(value);
    case C::Data:
        return type == QMetaType::QByteArray;
    case C::Date:
        return type == QMetaType::QDateTime;
    case C::Url:
        return type == QMetaType::QUrl;
    }
    return false;
}

// Runs a lookup; one that throws is logged and reads as nothing.
template <typename Lookup> auto guarded(Lookup lookup) -> decltype(lookup()) {
    try {
        return lookup();
    } catch (const std::exception& e) {
        qWarning().noquote() << "NSException info" << e.what();
        return {};
    }
}

// The longest start of text (after white space) that reads as a number of the given form,
// or nothing.
std::optional<QString> leadingNumber(const QString& text, const QRegularExpression& form) {
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1);
}

const QRegularExpression& leadingInteger() {
    static const QRegularExpression form(QStringLiteral("^\\s*([+-]?\\d+)"));
    return form;
}

const QRegularExpression& leadingReal() {
    static const QRegularExpression form(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    return form;
}

// The integer text starts with, clamped to [low, high]; 0 when it starts with none.
qint64 integerPrefix(const QString& text, qint64 low, qint64 high) {
    const auto digits = leadingNumber(text, leadingInteger());
    if (!digits)
        return 0;
    // Too many digits for 64 bits: the sign says which end of the range it is clamped to.
    bool ok = false;
    const qint64 value = digits->toLongLong(&ok);
    if (!ok)
        return digits->startsWith(QLatin1Char('-')) ? low : high;
    return std::clamp(value, low, high);
}

} // namespace

QVariant TVKSafeDictionary::objectForKey(const QString& key, ValueClass cls) const {
    return guarded([&]() -> QVariant {
        if (key.isEmpty())
            return {};
        const QVariant value = map_.value(key);
        return isInstance(value, cls) ? value : QVariant();
    });
}

QMetaType TVKSafeDictionary::objectClassForKey(const QString& key) const {
    return guarded([&]() -> QMetaType {
        if (key.isEmpty())
            return {};
        return map_.value(key).metaType();
    });
}

bool TVKSafeDictionary::findForKey(const QString& key) const {
    return objectClassForKey(key).isValid();
}

std::optional<QVariantList> TVKSafeDictionary::arrayForKey(const QString& key) const {
    const QVariant value = objectForKey(key, ValueClass::Array);
    return value.isValid() ? std::optional(value.toList()) : std::nullopt;
}

std::optional<QVariantMap> TVKSafeDictionary::dictionaryForKey(const QString& key) const {
    const QVariant value = objectForKey(key, ValueClass::Dictionary);
    return value.isValid() ? std::optional(value.toMap()) : std::nullopt;
}

std::optional<QString> TVKSafeDictionary::stringForKey(const QString& key) const {
    const QVariant value = objectForKey(key, ValueClass::String);
    return value.isValid() ? std::optional(value.toString()) : std::nullopt;
}

QVariant TVKSafeDictionary::numberForKey(const QString& key) const {
    return objectForKey(key, ValueClass::Number);
}

std::optional<QByteArray> TVKSafeDictionary::dataForKey(const QString& key) const {
    const QVariant value = objectForKey(key, ValueClass::Data);
    return value.isValid() ? std::optional(value.toByteArray()) : std::nullopt;
}

std::optional<QDateTime> TVKSafeDictionary::dateForKey(const QString& key) const {
    const QVariant value = objectForKey(key, ValueClass::Date);
    return value.isValid() ? std::optional(value.toDateTime()) : std::nullopt;
}

std::optional<QUrl> TVKSafeDictionary::urlForKey(const QString& key) const {
    const QVariant value = objectForKey(key, ValueClass::Url);
    return value.isValid() ? std::optional(value.toUrl()) : std::nullopt;
}

QVariantList TVKSafeDictionary::arrayForKeySafeModel(const QString& key) const {
    return arrayForKey(key).value_or(QVariantList());
}

QVariantMap TVKSafeDictionary::dictionaryForKeySafeModel(const QString& key) const {
    return dictionaryForKey(key).value_or(QVariantMap());
}

QString TVKSafeDictionary::stringForKeySafeModel(const QString& key) const {
    if (const auto string = stringForKey(key))
        return *string;
    const QVariant number = numberForKey(key);
    if (!number.isValid())
        return QString();
    // A boolean prints as the number it stands for.
    return number.typeId() == QMetaType::Bool ? QString::number(number.toInt()) : number.toString();
}

QVariant TVKSafeDictionary::numberForKeySafeModel(const QString& key) const {
    const QVariant number = numberForKey(key);
    if (number.isValid())
        return number;
    const auto string = stringForKey(key);
    const qint64 value = string ? integerPrefix(*string, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max())
                                : 0;
    return QVariant(static_cast<int>(value));
}

qint64 TVKSafeDictionary::int64ValueForKeySafeModel(const QString& key) const {
    const QVariant number = numberForKey(key);
    if (number.isValid())
        return longLongValue(number);
    const auto string = stringForKey(key);
    return string ? integerPrefix(*string, std::numeric_limits<qint64>::min(),
                                  std::numeric_limits<qint64>::max())
                  : 0;
}

float TVKSafeDictionary::floatValueForKeySafeModel(const QString& key) const {
    const QVariant number = numberForKey(key);
    if (number.isValid())
        return number.toFloat();
    const auto string = stringForKey(key);
    const auto real = string ? leadingNumber(*string, leadingReal()) : std::nullopt;
    return real ? real->toFloat() : 0.0f;
}

bool TVKSafeDictionary::boolForKeySafeModel(const QString& key) const {
    const QVariant number = numberForKeySafeModel(key);
    return isFloatingPoint(number) ? number.toDouble() != 0 : longLongValue(number) != 0;
}

qint64 TVKSafeDictionary::longLongValue(const QVariant& number) {
    if (!isNumber(number))
        return 0;
    if (!isFloatingPoint(number))
        return number.toLongLong();
    const double value = std::trunc(number.toDouble());
    if (std::isnan(value))
        return 0;
    // 2^63 is exactly representable; every double below it converts without overflow.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value < -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(value);
}

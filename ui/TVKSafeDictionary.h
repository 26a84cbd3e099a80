#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

// Type-checked reads from a QVariantMap, for data whose shape is not guaranteed.
//
// A read for a kind of value gives the value only when the key is not empty and the value
// stored there is of that kind; anything else reads as nothing, never as a value of another
// kind. The SafeModel reads go further and turn what they find into the wanted type, with a
// neutral value as the last resort. A lookup that fails unexpectedly logs
// "NSException info <reason>" and reads as nothing. Holds its own (shared) copy of the map.
class TVKSafeDictionary {
public:
    // The kinds of value a read can ask for. A number is any integer, real or boolean; an
    // array is a QVariantList or a QStringList.
    enum class ValueClass { Array, Dictionary, String, Number, Data, Date, Url };

    explicit TVKSafeDictionary(QVariantMap map) : map_(std::move(map)) {}

    // The value under key if it is of kind cls; an invalid QVariant otherwise.
    QVariant objectForKey(const QString& key, ValueClass cls) const;
    // The type of the value under key; an invalid type when the key is empty or unused.
    QMetaType objectClassForKey(const QString& key) const;
    bool findForKey(const QString& key) const;

    std::optional<QVariantList> arrayForKey(const QString& key) const;
    std::optional<QVariantMap> dictionaryForKey(const QString& key) const;
    std::optional<QString> stringForKey(const QString& key) const;
    // A numeric QVariant, or an invalid one.
    QVariant numberForKey(const QString& key) const;
    std::optional<QByteArray> dataForKey(const QString& key) const;
    std::optional<QDateTime> dateForKey(const QString& key) const;
    std::optional<QUrl> urlForKey(const QString& key) const;

    // The array, or an empty one.
    QVariantList arrayForKeySafeModel(const QString& key) const;
    // The dictionary, or an empty one.
    QVariantMap dictionaryForKeySafeModel(const QString& key) const;
    // The string; else a number's text; else the empty string.
    QString stringForKeySafeModel(const QString& key) const;
    // The number; else the integer a string starts with ("12 pages" gives 12, clamped to
    // 32 bits); else 0.
    QVariant numberForKeySafeModel(const QString& key) const;
    // A number's value, or the integer a string starts with; else 0. Fractions are cut off.
    qint64 int64ValueForKeySafeModel(const QString& key) const;
    // A number's value, or the real number a string starts with; else 0.
    float floatValueForKeySafeModel(const QString& key) const;
    // Whether numberForKeySafeModel() is not zero.
    bool boolForKeySafeModel(const QString& key) const;

    // A number's value as a 64-bit integer, fractions cut off and out-of-range reals
    // clamped; 0 for anything that is not a number.
    static qint64 longLongValue(const QVariant& number);

private:
    QVariantMap map_;
};

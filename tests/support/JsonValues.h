#pragma once

// A JSON value as the codec's parser reads back what its writer wrote: numbers by value
// (a non-negative integer comes back unsigned), doubles bit for bit but for what is not
// a number, texts unit by unit, containers element by element.

#include <QVariant>

#include <cmath>

namespace Palettra::Test {

inline bool sameJsonValue(const QVariant &written, const QVariant &read)
{
    switch (written.typeId()) {
    case QMetaType::UnknownType: return !read.isValid();
    case QMetaType::Double: {
        const double a = written.toDouble();
        const double b = read.toDouble();
        if (read.typeId() != QMetaType::Double)
            return false;
        return std::isnan(a) ? std::isnan(b) : a == b && std::signbit(a) == std::signbit(b);
    }
    case QMetaType::LongLong:
        return written.toLongLong() < 0 ? read.typeId() == QMetaType::LongLong && read.toLongLong() == written.toLongLong()
                                        : read.typeId() == QMetaType::ULongLong && read.toULongLong() == written.toULongLong();
    case QMetaType::ULongLong: return read.typeId() == QMetaType::ULongLong && read.toULongLong() == written.toULongLong();
    case QMetaType::Bool: return read.typeId() == QMetaType::Bool && read.toBool() == written.toBool();
    case QMetaType::QString: return read.typeId() == QMetaType::QString && read.toString() == written.toString();
    case QMetaType::QVariantList: {
        const QVariantList a = written.toList();
        const QVariantList b = read.toList();
        if (read.typeId() != QMetaType::QVariantList || a.size() != b.size())
            return false;
        for (int i = 0; i < a.size(); ++i) {
            if (!sameJsonValue(a.at(i), b.at(i)))
                return false;
        }
        return true;
    }
    case QMetaType::QVariantMap: {
        const QVariantMap a = written.toMap();
        const QVariantMap b = read.toMap();
        if (read.typeId() != QMetaType::QVariantMap || a.keys() != b.keys())
            return false;
        for (auto it = a.cbegin(); it != a.cend(); ++it) {
            if (!sameJsonValue(it.value(), b.value(it.key())))
                return false;
        }
        return true;
    }
    default: return false;
    }
}

} // namespace Palettra::Test

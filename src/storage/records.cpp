#include "storage/records.h"

#include <QDateTime>

#include <cmath>

namespace kov {

namespace {
bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool isInteger(const QVariant &v)
{
    return isNumber(v) && v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float;
}
} // namespace

bool valuesEqual(const QVariant &a, const QVariant &b)
{
    if (isNumber(a) && isNumber(b)) {
        if (isInteger(a) && isInteger(b)) {
            if (a.typeId() == QMetaType::ULongLong || b.typeId() == QMetaType::ULongLong)
                return a.toULongLong() == b.toULongLong() && (a.toLongLong() < 0) == (b.toLongLong() < 0);
            return a.toLongLong() == b.toLongLong();
        }
        // A NaN read from a file ("nan" is what Foundation writes for it)
        // must still find its record again for change and delete.
        const double da = a.toDouble(), db = b.toDouble();
        return da == db || (std::isnan(da) && std::isnan(db));
    }
    if (a.typeId() != b.typeId())
        return false;
    switch (a.typeId()) {
    case QMetaType::QString:
        return a.toString() == b.toString();
    case QMetaType::QDateTime:
        return a.toDateTime().toMSecsSinceEpoch() == b.toDateTime().toMSecsSinceEpoch();
    case QMetaType::QByteArray:
        return a.toByteArray() == b.toByteArray();
    case QMetaType::Bool:
        return a.toBool() == b.toBool();
    case QMetaType::QVariantList: {
        const QVariantList la = a.toList(), lb = b.toList();
        if (la.size() != lb.size())
            return false;
        for (qsizetype i = 0; i < la.size(); ++i)
            if (!valuesEqual(la[i], lb[i]))
                return false;
        return true;
    }
    case QMetaType::QVariantMap:
        return recordsEqual(a.toMap(), b.toMap());
    default:
        return a == b;
    }
}

bool recordsEqual(const Record &a, const Record &b)
{
    if (a.size() != b.size())
        return false;
    for (auto ia = a.cbegin(), ib = b.cbegin(); ia != a.cend(); ++ia, ++ib) {
        // QVariantMap iterates in key order, so equal key sets line up.
        if (ia.key() != ib.key() || !valuesEqual(ia.value(), ib.value()))
            return false;
    }
    return true;
}

qsizetype indexOfRecord(const RecordList &list, const Record &rec)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        if (recordsEqual(list[i], rec))
            return i;
    return -1;
}

} // namespace kov

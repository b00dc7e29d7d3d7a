#include "storage/records.h"
#include "storage/plist.h"

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
            // The same 64 bits are the same number only with the same sign:
            // 2^64 - 1 is not -1.
            const auto negative = [](const QVariant &v) {
                return v.typeId() != QMetaType::ULongLong && v.toLongLong() < 0;
            };
            if (a.typeId() == QMetaType::ULongLong || b.typeId() == QMetaType::ULongLong)
                return a.toULongLong() == b.toULongLong() && negative(a) == negative(b);
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

// ---- The keys of each kind of record

const QList<KeyRule> &recordKeyRules(const QString &fileName)
{
    using K = ValueKind;
    static const QList<KeyRule> property{{PropertyNameKey, K::String, true},
                                         {PropertyAddressKey, K::String, false},
                                         {PropertyCityKey, K::String, false},
                                         {PropertyStateKey, K::String, false},
                                         {PropertyZipKey, K::String, false},
                                         {PropertyNoteKey, K::String, false},
                                         {PropertyLotSizeKey, K::String, false},
                                         {PropertyIntSizeKey, K::String, false},
                                         {PropertyPurchaseMethodKey, K::String, false},
                                         {PropertyCurrentStatusKey, K::String, false},
                                         {PropertyConstDateKey, K::Date, false},
                                         {PropertyPurchaseCostKey, K::Real, false},
                                         {PropertyPurchaseDateKey, K::Date, false},
                                         {PropertySaleCostKey, K::Real, false},
                                         {PropertySaleDateKey, K::Date, false}};
    static const QList<KeyRule> provider{
        {ProviderNameKey, K::String, true},     {ProviderAddressKey, K::String, false},
        {ProviderNoteKey, K::String, false},    {ProviderEmailKey, K::String, false},
        {ProviderWebPageKey, K::String, false}, {ProviderPhoneKey, K::String, false}};
    // A task without a unit recurs after 0 days and one without a count is
    // never due: odd, but usable.
    static const QList<KeyRule> task{{ServiceTaskNameKey, K::String, true},
                                     {ServiceTaskDescriptionKey, K::Data, false},
                                     {ServiceTaskTimeUnits, K::Integer, false},
                                     {ServiceTaskTimeInUnitsKey, K::Integer, false}};
    // Without its property, task or date a job matches no filter; a missing
    // provider only leaves that column empty.
    static const QList<KeyRule> maintenance{
        {PropertyNameKey, K::String, true},    {ProviderNameKey, K::String, false},
        {ServiceTaskNameKey, K::String, true}, {ServiceDateKey, K::Date, true},
        {TotalCostKey, K::String, false},      {PartsCostKey, K::String, false},
        {LaborCostKey, K::String, false},      {TaxCostKey, K::String, false},
        {NoteKey, K::String, false},           {BookMarkDataKeyForReceipt, K::Data, false}};
    static const QList<KeyRule> none;
    if (fileName == PropertyFileForKOV)
        return property;
    if (fileName == ProviderFileForKOV)
        return provider;
    if (fileName == ServiceTaskFileForKOV)
        return task;
    if (fileName == PropertyHistoryFileForKOV)
        return maintenance;
    return none;
}

namespace {

QStringList keysOf(const QString &fileName)
{
    QStringList keys;
    for (const KeyRule &rule : recordKeyRules(fileName))
        keys.append(rule.key);
    return keys;
}

} // namespace

const QStringList &propertyRecordKeys()
{
    static const QStringList keys = keysOf(PropertyFileForKOV);
    return keys;
}

const QStringList &providerRecordKeys()
{
    static const QStringList keys = keysOf(ProviderFileForKOV);
    return keys;
}

const QStringList &serviceTaskRecordKeys()
{
    static const QStringList keys = keysOf(ServiceTaskFileForKOV);
    return keys;
}

const QStringList &maintenanceRecordKeys()
{
    static const QStringList keys = keysOf(PropertyHistoryFileForKOV);
    return keys;
}

Record xmlCarriableRecord(Record record)
{
    for (auto it = record.begin(); it != record.end(); ++it) {
        if (it->typeId() == QMetaType::QString)
            *it = xmlCarriableText(it->toString());
    }
    return record;
}

Record withUnknownEntries(Record updated, const Record &stored, const QStringList &knownKeys)
{
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        if (!knownKeys.contains(it.key()))
            updated.insert(it.key(), it.value());
    return updated;
}

Record knownEntriesOnly(const Record &record, const QStringList &knownKeys)
{
    Record known;
    for (auto it = record.cbegin(); it != record.cend(); ++it)
        if (knownKeys.contains(it.key()))
            known.insert(it.key(), it.value());
    return known;
}

} // namespace kov

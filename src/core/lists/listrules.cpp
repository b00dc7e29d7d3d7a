#include "lists/listrules.h"

#include <utility>

#include "lists/tasklabel.h"
#include "log/costrules.h"
#include "storage/rtfd.h"

namespace kov {

Record propertyRecordFromValues(const PropertyValues &v)
{
    Record r{{PropertyNameKey, v.name},
             {PropertyAddressKey, v.address},
             {PropertyCityKey, v.city},
             {PropertyStateKey, v.state},
             {PropertyZipKey, v.zip},
             {PropertyNoteKey, v.note},
             {PropertyLotSizeKey, v.lotSize},
             {PropertyIntSizeKey, v.interiorSize},
             {PropertyConstDateKey, v.constructed.toUTC()}};
    if (!v.purchaseMethod.isEmpty())
        r.insert(PropertyPurchaseMethodKey, v.purchaseMethod);
    if (!v.currentStatus.isEmpty())
        r.insert(PropertyCurrentStatusKey, v.currentStatus);
    // A price is read the way the cost fields read it, so a decimal comma
    // keeps its cents where the locale writes one.
    if (!v.purchaseCost.isEmpty()) {
        r.insert(PropertyPurchaseCostKey, costValue(v.purchaseCost));
        r.insert(PropertyPurchaseDateKey, v.acquired.toUTC());
    }
    if (!v.saleCost.isEmpty()) {
        r.insert(PropertySaleCostKey, costValue(v.saleCost));
        r.insert(PropertySaleDateKey, v.sold.toUTC());
    }
    return xmlCarriableRecord(r);
}

Record providerRecordFromValues(const ProviderValues &v)
{
    return xmlCarriableRecord(Record{{ProviderNameKey, v.name},
                                     {ProviderAddressKey, v.address},
                                     {ProviderNoteKey, v.note},
                                     {ProviderEmailKey, v.email},
                                     {ProviderWebPageKey, v.webPage},
                                     {ProviderPhoneKey, v.phone}});
}

TaskEntryCheck checkTaskEntry(const QString &name, const QString &descriptionText, int unit,
                              const QString &intervalText)
{
    if (name.isEmpty() || descriptionText.isEmpty())
        return TaskEntryCheck::dataMissing;
    if (unit != UnitNone && (intervalText.isEmpty() || plainInteger(intervalText) <= 0))
        return TaskEntryCheck::intervalMissing;
    return TaskEntryCheck::ok;
}

qlonglong taskIntervalCount(const QString &intervalText)
{
    QString copy = intervalText;
    removeLocaleSymbolFromString(copy, LocaleSymbol::GroupingSeparator);
    return plainInteger(copy);
}

Record taskRecordFromValues(const QString &name, const QByteArray &descriptionRtfd, int unit,
                            const QString &intervalText)
{
    Record r{{ServiceTaskNameKey, name},
             {ServiceTaskDescriptionKey, descriptionRtfd},
             {ServiceTaskTimeUnits, qlonglong(unit)}};
    if (!intervalText.isEmpty())
        r.insert(ServiceTaskTimeInUnitsKey, taskIntervalCount(intervalText));
    return xmlCarriableRecord(r);
}

qsizetype indexOfName(const RecordList &list, const QString &key, const QString &name)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QVariant value = list.at(i).value(key);
        if (value.typeId() == QMetaType::QString && value.toString() == name)
            return i;
    }
    return -1;
}

Record taskSheetRow(const Record &task)
{
    Record row;
    if (task.contains(ServiceTaskNameKey))
        row.insert(col::taskname, task.value(ServiceTaskNameKey));
    if (task.contains(ServiceTaskDescriptionKey))
        row.insert(col::taskdesc, plainTextOfRichText(task.value(ServiceTaskDescriptionKey).toByteArray()));
    row.insert(col::timeindays, copyTaskDescAndTimeLabel(task));
    return row;
}

namespace {

// Every present value shows; a missing one (a file from elsewhere) leaves
// its cell empty without hiding the cells after it.
Record rowOfPresent(const Record &record, std::initializer_list<std::pair<QString, QString>> pairs)
{
    Record row;
    for (const auto &[column, key] : pairs)
        if (record.contains(key))
            row.insert(column, record.value(key));
    return row;
}

} // namespace

Record propertySheetRow(const Record &property)
{
    return rowOfPresent(property, {{col::propname, PropertyNameKey},
                                   {col::propaddress, PropertyAddressKey},
                                   {col::propcity, PropertyCityKey},
                                   {col::propstate, PropertyStateKey},
                                   {col::proppostal, PropertyZipKey}});
}

Record providerSheetRow(const Record &provider)
{
    return rowOfPresent(provider, {{col::provname, ProviderNameKey},
                                   {col::provaddress, ProviderAddressKey},
                                   {col::provnotes, ProviderNoteKey},
                                   {col::provphone, ProviderPhoneKey}});
}

QString nameKeyOfList(const QString &fileName)
{
    if (fileName == PropertyFileForKOV)
        return PropertyNameKey;
    if (fileName == ProviderFileForKOV)
        return ProviderNameKey;
    return ServiceTaskNameKey;
}

} // namespace kov

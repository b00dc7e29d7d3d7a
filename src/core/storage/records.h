// Records, their keys, the data files and the table column identifiers.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace kov {

// A record is a string-keyed property-list dictionary. Values are QString
// (string), double (real), qlonglong (integer), QDateTime in UTC (date),
// QByteArray (data), bool, QVariantList (array) or QVariantMap (dict).
using Record = QVariantMap;
using RecordList = QList<Record>;

// The four data files, in DataFolder; no extension.
inline const QString PropertyFileForKOV = QStringLiteral("PropertyFileForKOV");
inline const QString ProviderFileForKOV = QStringLiteral("ProviderFileForKOV");
inline const QString ServiceTaskFileForKOV = QStringLiteral("ServiceTaskFileForKOV");
inline const QString PropertyHistoryFileForKOV = QStringLiteral("PropertyHistoryFileForKOV");
// The shipped default task list (a Qt resource).
inline const QString ServiceTaskDefaultsFileName = QStringLiteral("ServiceTaskDefaultsFileName");

// PropertyRecord
inline const QString PropertyNameKey = QStringLiteral("PropertyNameKey");
inline const QString PropertyAddressKey = QStringLiteral("PropertyAddressKey");
inline const QString PropertyCityKey = QStringLiteral("PropertyCityKey");
inline const QString PropertyStateKey = QStringLiteral("PropertyStateKey");
inline const QString PropertyZipKey = QStringLiteral("PropertyZipKey");
inline const QString PropertyNoteKey = QStringLiteral("PropertyNoteKey");
inline const QString PropertyLotSizeKey = QStringLiteral("PropertyLotSizeKey");
inline const QString PropertyIntSizeKey = QStringLiteral("PropertyIntSizeKey");
inline const QString PropertyPurchaseMethodKey = QStringLiteral("PropertyPurchaseMethodKey");
inline const QString PropertyCurrentStatusKey = QStringLiteral("PropertyCurrentStatusKey");
inline const QString PropertyConstDateKey = QStringLiteral("PropertyConstDateKey");
inline const QString PropertyPurchaseCostKey = QStringLiteral("PropertyPurchaseCostKey");
inline const QString PropertyPurchaseDateKey = QStringLiteral("PropertyPurchaseDateKey");
inline const QString PropertySaleCostKey = QStringLiteral("PropertySaleCostKey");
inline const QString PropertySaleDateKey = QStringLiteral("PropertySaleDateKey");

// ProviderRecord
inline const QString ProviderNameKey = QStringLiteral("ProviderNameKey");
inline const QString ProviderAddressKey = QStringLiteral("ProviderAddressKey");
inline const QString ProviderNoteKey = QStringLiteral("ProviderNoteKey");
inline const QString ProviderEmailKey = QStringLiteral("ProviderEmailKey");
inline const QString ProviderWebPageKey = QStringLiteral("ProviderWebPageKey");
inline const QString ProviderPhoneKey = QStringLiteral("ProviderPhoneKey");

// ServiceTaskRecord
inline const QString ServiceTaskNameKey = QStringLiteral("ServiceTaskNameKey");
inline const QString ServiceTaskDescriptionKey = QStringLiteral("ServiceTaskDescriptionKey");
inline const QString ServiceTaskTimeUnits = QStringLiteral("ServiceTaskTimeUnits");
inline const QString ServiceTaskTimeInUnitsKey = QStringLiteral("ServiceTaskTimeInUnitsKey");

// MaintenanceRecord (also PropertyNameKey, ProviderNameKey, ServiceTaskNameKey)
inline const QString ServiceDateKey = QStringLiteral("ServiceDateKey");
inline const QString TotalCostKey = QStringLiteral("TotalCostKey");
inline const QString PartsCostKey = QStringLiteral("PartsCostKey");
inline const QString LaborCostKey = QStringLiteral("LaborCostKey");
inline const QString TaxCostKey = QStringLiteral("TaxCostKey");
inline const QString NoteKey = QStringLiteral("NoteKey");
inline const QString BookMarkDataKeyForReceipt = QStringLiteral("BookMarkDataKeyForReceipt");

// Table column identifiers.
namespace col {
// tableViewTab1 (MaintenanceRow)
inline const QString property = QStringLiteral("property");
inline const QString provider = QStringLiteral("provider");
inline const QString task = QStringLiteral("task");
inline const QString propmaintdate = QStringLiteral("propmaintdate");
inline const QString cost = QStringLiteral("cost");
inline const QString parts = QStringLiteral("parts");
inline const QString labor = QStringLiteral("labor");
inline const QString tax = QStringLiteral("tax");
inline const QString note = QStringLiteral("note");
inline const QString receipt = QStringLiteral("receipt");
// tableViewTab2 (DueItem)
inline const QString property2 = QStringLiteral("property2");
inline const QString task2 = QStringLiteral("task2");
inline const QString lastdate = QStringLiteral("lastdate");
inline const QString nextdate = QStringLiteral("nextdate");
// tableViewTaskSheet
inline const QString taskname = QStringLiteral("taskname");
inline const QString taskdesc = QStringLiteral("taskdesc");
inline const QString timeindays = QStringLiteral("timeindays");
// tableViewPropertySheet
inline const QString propname = QStringLiteral("propname");
inline const QString propaddress = QStringLiteral("propaddress");
inline const QString propcity = QStringLiteral("propcity");
inline const QString propstate = QStringLiteral("propstate");
inline const QString proppostal = QStringLiteral("proppostal");
// tableViewProviderSheet
inline const QString provname = QStringLiteral("provname");
inline const QString provaddress = QStringLiteral("provaddress");
inline const QString provphone = QStringLiteral("provphone");
inline const QString provnotes = QStringLiteral("provnotes");
} // namespace col

// Two property-list values are equal when they are of the same kind and hold
// the same thing: strings exactly, numbers by value, dates by instant, data
// byte for byte, arrays and dictionaries element by element.
bool valuesEqual(const QVariant &a, const QVariant &b);

// Two records are equal when they have the same keys and equal values under
// each; this is how a maintenance record is found again for change and delete.
bool recordsEqual(const Record &a, const Record &b);

// Index of the first record equal to `rec`, or -1.
qsizetype indexOfRecord(const RecordList &list, const Record &rec);

// ---- The keys of each kind of record
// The keys KOV itself reads and writes in each kind of record, with the kind
// of value each holds and whether a record is of no use without it. A file
// from a newer version or another program may hold others; a change must
// carry them over rather than drop them.
enum class ValueKind { String, Real, Integer, Date, Data };
struct KeyRule {
    QString key;
    ValueKind kind;
    bool required;
};
// By data file name; empty for any other name.
const QList<KeyRule> &recordKeyRules(const QString &fileName);
const QStringList &propertyRecordKeys();
const QStringList &providerRecordKeys();
const QStringList &serviceTaskRecordKeys();
const QStringList &maintenanceRecordKeys();
// Every string value of `record` through xmlCarriableText (plist.h).
Record xmlCarriableRecord(Record record);
// `updated` with every entry of `stored` whose key is not in `knownKeys`.
Record withUnknownEntries(Record updated, const Record &stored, const QStringList &knownKeys);
// `record` without the entries whose key is not in `knownKeys`.
Record knownEntriesOnly(const Record &record, const QStringList &knownKeys);

} // namespace kov

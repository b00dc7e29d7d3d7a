// The reference lists (properties, providers, service tasks) as records:
// what the sheets store, the rows their tables show, and the name checks
// that keep every name unique. No widgets: the window and kov-cli share them.
#pragma once

#include <QDateTime>
#include <QString>

#include "storage/records.h"

namespace kov {

// The fields of the property sheet, as the user left them.
struct PropertyValues {
    QString name, address, city, state, zip, note;
    QString lotSize, interiorSize;         // stored as typed
    QString purchaseMethod, currentStatus; // pop-up titles; empty: nothing chosen
    QDateTime constructed, acquired, sold;
    QString purchaseCost, saleCost; // as typed, possibly with symbols
};

struct ProviderValues {
    QString name, address, note, email, webPage, phone;
};

// A property record: every text value always, the pop-up titles when one is
// chosen, the construction date always, each price (and its date) only when
// its text is not empty.
Record propertyRecordFromValues(const PropertyValues &values);
// A provider record: all six strings, possibly empty.
Record providerRecordFromValues(const ProviderValues &values);

// The unit codes of a task's recurrence.
inline constexpr int UnitDays = 0;
inline constexpr int UnitMonths = 1;
inline constexpr int UnitYears = 2;
inline constexpr int UnitNone = 3;

enum class TaskEntryCheck { ok, dataMissing, intervalMissing };

// Name and description must be there; a unit other than None needs an
// interval whose leading whole number, as typed, is above 0.
TaskEntryCheck checkTaskEntry(const QString &name, const QString &descriptionText, int unit,
                              const QString &intervalText);
// The count an interval text stands for: grouping separators of the current
// locale removed, then its leading whole number.
qlonglong taskIntervalCount(const QString &intervalText);
// A task record: name, description (RTFD bytes), unit always, the count only
// when the interval text is not empty.
Record taskRecordFromValues(const QString &name, const QByteArray &descriptionRtfd, int unit,
                            const QString &intervalText);

// Index of the first record, in list order, whose `key` holds exactly `name`
// (case-sensitive, no trimming), or -1.
qsizetype indexOfName(const RecordList &list, const QString &key, const QString &name);
inline bool nameExists(const RecordList &list, const QString &key, const QString &name)
{
    return indexOfName(list, key, name) >= 0;
}

// The key that names an entry of a reference list file.
QString nameKeyOfList(const QString &fileName);

// The rows of the three sheet tables.
Record taskSheetRow(const Record &task);
Record propertySheetRow(const Record &property);
Record providerSheetRow(const Record &provider);

} // namespace kov

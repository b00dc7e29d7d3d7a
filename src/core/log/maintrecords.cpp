#include "log/maintrecords.h"

#include <algorithm>
#include <vector>

#include <QDateTime>

#include "log/costrules.h"
#include "storage/dates.h"

namespace kov {

namespace {

bool isCostKey(const QString &key)
{
    return key == TotalCostKey || key == PartsCostKey || key == LaborCostKey || key == TaxCostKey;
}

} // namespace

std::optional<double> amountOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return storedCostAmount(value.toString());
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::Int:
        return value.toDouble();
    default:
        return std::nullopt;
    }
}

namespace {

struct CostColumn {
    const QString &column;
    const QString &key;
};

const CostColumn costColumns[] = {{col::cost, TotalCostKey},
                                  {col::parts, PartsCostKey},
                                  {col::labor, LaborCostKey},
                                  {col::tax, TaxCostKey}};

} // namespace

namespace {

// Where each column of a row comes from.
struct Source {
    const QString *column;
    const QString *key;
    bool cost;
};

// In the row's own key order, so a row is built with each entry going in
// at the end without a search.
const std::vector<Source> &rowSources()
{
    static const std::vector<Source> sources = [] {
        std::vector<Source> s{{&col::property, &PropertyNameKey, false},
                              {&col::provider, &ProviderNameKey, false},
                              {&col::task, &ServiceTaskNameKey, false},
                              {&col::propmaintdate, &ServiceDateKey, false},
                              {&col::note, &NoteKey, false},
                              {&col::receipt, &BookMarkDataKeyForReceipt, false}};
        for (const CostColumn &c : costColumns)
            s.push_back({&c.column, &c.key, true});
        std::sort(s.begin(), s.end(), [](const Source &a, const Source &b) { return *a.column < *b.column; });
        return s;
    }();
    return sources;
}

// A cost only when it reads as an amount.
QVariant cellFrom(const Source &source, const QVariant &stored)
{
    if (!source.cost)
        return stored;
    const std::optional<double> amount = amountOf(stored);
    return amount ? QVariant(*amount) : QVariant();
}

} // namespace

Record maintenanceRowFromRecord(const Record &record)
{
    Record row;
    for (const Source &source : rowSources()) {
        const auto it = record.constFind(*source.key);
        if (it == record.cend())
            continue;
        const QVariant cell = cellFrom(source, it.value());
        if (cell.isValid() || !source.cost)
            row.insert(row.cend(), *source.column, cell);
    }
    return row;
}

QVariant maintenanceCell(const Record &record, const QString &column)
{
    for (const Source &source : rowSources()) {
        if (*source.column != column)
            continue;
        const auto it = record.constFind(*source.key);
        return it == record.cend() ? QVariant() : cellFrom(source, it.value());
    }
    return {};
}

Record searchRecordFromMaintenanceRow(const Record &row)
{
    Record record;
    auto copy = [&](const QString &key, const QString &column) {
        const auto it = row.constFind(column);
        if (it != row.cend())
            record.insert(key, it.value());
    };
    copy(PropertyNameKey, col::property);
    copy(ServiceTaskNameKey, col::task);
    copy(ProviderNameKey, col::provider);
    if (row.contains(col::propmaintdate))
        record.insert(ServiceDateKey,
                      NSDateUtilities::cleanseDate(row.value(col::propmaintdate).toDateTime()));
    copy(BookMarkDataKeyForReceipt, col::receipt);
    for (const CostColumn &c : costColumns) {
        // Straight from the amount: a decimal text with "." would be misread
        // where "." groups digits.
        if (row.contains(c.column))
            record.insert(c.key, formatCostStrings(row.value(c.column).toDouble()));
    }
    const QString note = row.value(col::note).toString();
    if (!note.isEmpty())
        record.insert(NoteKey, note);
    return record;
}

bool maintenanceRecordsMatch(const Record &a, const Record &b)
{
    if (a.size() != b.size())
        return false;
    for (auto ia = a.cbegin(), ib = b.cbegin(); ia != a.cend(); ++ia, ++ib) {
        if (ia.key() != ib.key())
            return false;
        if (isCostKey(ia.key())) {
            const std::optional<double> x = amountOf(ia.value()), y = amountOf(ib.value());
            if (x && y) {
                if (*x != *y)
                    return false;
                continue;
            }
        }
        if (!valuesEqual(ia.value(), ib.value()))
            return false;
    }
    return true;
}

qsizetype indexOfMaintenanceRecord(const RecordList &list, const Record &record)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        // Only a record with more entries can hold keys to leave out.
        const Record &stored = list[i];
        if (stored.size() < record.size())
            continue;
        if (stored.size() == record.size() && maintenanceRecordsMatch(stored, record))
            return i;
        if (stored.size() == record.size())
            continue;
        // The row shows neither keys it does not know nor costs that read as
        // no amount ("n/a" from another program), so its record lacks them.
        Record known = knownEntriesOnly(stored, maintenanceRecordKeys());
        for (auto it = known.begin(); it != known.end();) {
            if (isCostKey(it.key()) && !record.contains(it.key()) && !amountOf(it.value()))
                it = known.erase(it);
            else
                ++it;
        }
        if (maintenanceRecordsMatch(known, record))
            return i;
    }
    return -1;
}

bool removeNilEntries(RecordList &history)
{
    bool removed = false;
    for (Record &record : history) {
        for (auto it = record.begin(); it != record.end();) {
            const QVariant &v = it.value();
            const bool nil = !v.isValid() || v.typeId() == QMetaType::Nullptr ||
                             (v.typeId() == QMetaType::QString && v.toString().isEmpty());
            if (nil && it.key() != ServiceDateKey && it.key() != BookMarkDataKeyForReceipt) {
                it = record.erase(it);
                removed = true;
            } else {
                ++it;
            }
        }
    }
    return removed;
}

QUrl receiptUrlFromBookmark(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    const QUrl url = QUrl::fromEncoded(data, QUrl::StrictMode);
    return url.isValid() && url.isLocalFile() ? url : QUrl();
}

} // namespace kov

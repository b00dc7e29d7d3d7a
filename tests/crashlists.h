// The two record lists the crash writer alternates between, shared by the
// writer and the test that kills it. Each record names its file, so a file
// that ended up under another file's name would be noticed.
#pragma once

#include <QDateTime>

#include "storage/records.h"

namespace kov::crash {

inline RecordList bigList(const QString &fileName)
{
    RecordList list;
    const QDateTime base(QDate(1998, 3, 14), QTime(7, 0), Qt::UTC);
    for (int i = 0; i < 150; ++i) {
        Record r;
        r.insert(PropertyNameKey, QStringLiteral("%1 house %2 \u00e9\u6f22 <&>").arg(fileName).arg(i));
        r.insert(ProviderNameKey, QStringLiteral("Provider %1").arg(i % 17));
        r.insert(ServiceTaskNameKey, QStringLiteral("Task %1").arg(i % 23));
        r.insert(ServiceDateKey, base.addDays(i * 3));
        r.insert(LaborCostKey, QStringLiteral("%1.00").arg(i * 7));
        r.insert(NoteKey, QString(200, QLatin1Char('a' + i % 26)));
        r.insert(BookMarkDataKeyForReceipt, QByteArray(150, char(i)));
        r.insert(ServiceTaskTimeInUnitsKey, qlonglong(i));
        r.insert(QStringLiteral("CrashRealKey"), 0.1 * i);
        list.append(r);
    }
    return list;
}

inline RecordList smallList(const QString &fileName)
{
    Record r;
    r.insert(PropertyNameKey, fileName + QStringLiteral(" small"));
    r.insert(ServiceDateKey, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC));
    Record s;
    s.insert(ProviderNameKey, fileName);
    return {r, s};
}

} // namespace kov::crash

// Times reading and writing a 10,000-record maintenance history, the size a
// long-kept history reaches. Every action reads its data file whole, so
// readPlist is the number that matters.
#include "storage/plist.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QVariantList history(int count)
{
    static const char *const properties[] = {"Lake House", "Stadthaus M\u00fcnchen", "12 Elm Street",
                                             "Cabin"};
    static const char *const providers[] = {"Bob's Gutters & Roofing", "M\u00fcller Heizung GmbH",
                                            "Ace Plumbing", "<self>"};
    static const char *const tasks[] = {"Clean gutters", "Furnace filter", "Chimney sweep", "Mow lawn",
                                        "Paint trim"};
    QByteArray receipt(300, '\0');
    for (int i = 0; i < receipt.size(); ++i)
        receipt[i] = char(i * 7);
    const QDateTime first(QDate(1998, 1, 1), QTime(7, 0), Qt::UTC);
    QVariantList records;
    records.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double labor = 40 + i % 200, parts = (i * 13) % 90, tax = (labor + parts) * 0.08;
        QVariantMap r;
        r.insert(QStringLiteral("PropertyNameKey"), QString::fromUtf8(properties[i % 4]));
        r.insert(QStringLiteral("ProviderNameKey"), QString::fromUtf8(providers[i % 4]));
        r.insert(QStringLiteral("ServiceTaskNameKey"), QString::fromUtf8(tasks[i % 5]));
        r.insert(QStringLiteral("ServiceDateKey"), first.addDays(i));
        r.insert(QStringLiteral("LaborCostKey"), QString::number(labor, 'f', 2));
        r.insert(QStringLiteral("PartsCostKey"), QString::number(parts, 'f', 2));
        r.insert(QStringLiteral("TaxCostKey"), QString::number(tax, 'f', 2));
        r.insert(QStringLiteral("TotalCostKey"), QString::number(labor + parts + tax, 'f', 2));
        if (i % 3 == 0)
            r.insert(QStringLiteral("NoteKey"),
                     QStringLiteral("Checked the downspouts too; left side needs a new bracket."));
        if (i % 4 == 0)
            r.insert(QStringLiteral("ProviderPhoneKey"), QStringLiteral("555-0100"));
        if (i % 5 == 0)
            r.insert(QStringLiteral("BookMarkDataKeyForReceipt"), receipt);
        records.append(r);
    }
    return records;
}

// `run` returns the nanoseconds it measured, so that freeing what it built
// stays outside the timing. The first run pays for fresh memory pages and is
// shown apart.
template <typename F> void report(const char *what, int runs, F &&run)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.push_back(double(run()) / 1e6);
    const double first = ms.front();
    std::sort(ms.begin(), ms.end());
    std::printf("%-10s first %7.2f ms   min %7.2f ms   median %7.2f ms   (%d runs)\n", what, first,
                ms.front(), ms[ms.size() / 2], runs);
}

} // namespace

int main()
{
    constexpr int kRecords = 10000;
    constexpr int kRuns = 15;
    const QVariant root = history(kRecords);
    const QByteArray bytes = kov::writePlist(root);
    std::printf("%d records, %.2f MB\n", kRecords, double(bytes.size()) / 1e6);

    QVariant value;
    kov::PlistError error;
    report("readPlist", kRuns, [&] {
        QVariant fresh;
        QElapsedTimer timer;
        timer.start();
        const bool ok = kov::readPlist(bytes, &fresh, &error);
        const qint64 ns = timer.nsecsElapsed();
        if (!ok) {
            std::fprintf(stderr, "read failed: %s\n", qPrintable(error.toString()));
            std::exit(1);
        }
        value = fresh;
        return ns;
    });
    report("writePlist", kRuns, [&] {
        QElapsedTimer timer;
        timer.start();
        const QByteArray out = kov::writePlist(value);
        const qint64 ns = timer.nsecsElapsed();
        if (out != bytes) {
            std::fprintf(stderr, "rewrite differs\n");
            std::exit(1);
        }
        return ns;
    });
    return 0;
}

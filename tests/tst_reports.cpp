// Report documents without widgets: paper, page plan, PDFs read back with QtPdf.
#include <QDir>
#include <QImage>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPainterPath>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>

#include "reports/pagelayout.h"
#include "reports/pdfwriter.h"
#include "reports/printengine.h"
#include "storage/clock.h"
#include "storage/dates.h"

using namespace kov;
using namespace Qt::StringLiterals;

class TestReports : public QObject {
    Q_OBJECT
    QTemporaryDir folder;
    ReportOptions options;
    mutable QPdfDocument pdf;
    const QByteArray lcAll = qgetenv("LC_ALL");
    const QDateTime serviced = NSDateUtilities::cleanseDate(QDateTime(QDate(2026, 3, 14), QTime(12, 0)));

    static QString house(int n) { return u"House %1"_s.arg(n, 3, 10, QLatin1Char('0')); }
    // Log rows "House 001", ...; no cost for an invalid one.
    RecordList records(int count, const QVariant &cost = u"10.00"_s) const
    {
        RecordList rows;
        for (int i = 1; i <= count; ++i)
            rows.append({{PropertyNameKey, house(i)},
                         {ServiceTaskNameKey, u"Gutters"_s},
                         {ServiceDateKey, serviced},
                         {TotalCostKey, cost}});
        return rows;
    }
    // Writes the report and reads it back; its number of pages.
    int print(unsigned which, const RecordList &rows, double total = 0, double average = 0)
    {
        pdf.load(printReport(which, rows, total, average, options).path);
        return pdf.pageCount();
    }
    QString text(int page) const { return pdf.getAllText(page).text(); }
    // Where the text's last occurrence shows, in points from the top left.
    QRectF bounds(const QString &what, int page = 0) const
    {
        const int at = int(text(page).lastIndexOf(what)); // none: an empty rectangle
        return pdf.getSelectionAtIndex(page, at, int(what.size())).boundingRectangle();
    }
    bool at(const QString &what, qreal x) const { return qAbs(bounds(what).left() - x) < 2; }

private Q_SLOTS:
    void initTestCase() { Clock::setFixed(QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9))); }
    void cleanupTestCase() { Clock::setFixed({}); }
    void init() { options = {folder.filePath(QString::fromLatin1(QTest::currentTestFunction())), {}}; }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        qputenv("LC_ALL", lcAll);
        qunsetenv("LC_PAPER");
    }

    // Letter where the locale measures in inches (not in the UK), A4
    // elsewhere; LC_PAPER decides unless LC_ALL is set. The documents too.
    void paperSize_data()
    {
        QTest::addColumn<QByteArray>("lcAll");
        QTest::addColumn<QByteArray>("lcPaper");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        const QByteArray unset, us = "en_US.UTF-8"_ba, de = "de_DE.UTF-8"_ba;
        QTest::newRow("en_US") << us << unset << u"en_US"_s << QPageSize::Letter;
        QTest::newRow("en_GB") << unset << unset << u"en_GB"_s << QPageSize::A4;
        QTest::newRow("LC_PAPER de_DE in en_US") << unset << de << u"en_US"_s << QPageSize::A4;
        QTest::newRow("LC_ALL overrides LC_PAPER") << us << de << u"en_US"_s << QPageSize::Letter;
        QTest::newRow("empty LC_PAPER") << unset << ""_ba << u"en_US"_s << QPageSize::Letter;
    }
    void paperSize()
    {
        QFETCH(QByteArray, lcAll);
        QFETCH(QByteArray, lcPaper);
        QFETCH(QString, locale);
        QFETCH(QPageSize::PageSizeId, paper);
        for (const auto &[name, value] : {std::pair("LC_ALL", lcAll), std::pair("LC_PAPER", lcPaper)})
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(reportPaperSize(), paper);
        QCOMPARE(print(ReportTaskList, records(1)), 1);
        QVERIFY(qAbs(pdf.pagePointSize(0).width() - QPageSize(paper).size(QPageSize::Point).height()) < 1);
    }

    // 45 rows a page from 535 - pitch down; report 2's totals 15 points below
    // the last row, or on a page of their own when that row lies below 60.
    void pagePlan_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("pitch");
        QTest::addColumn<int>("pages");
        QTest::addColumn<double>("lastRowY");
        QTest::addColumn<int>("totalsPage");
        QTest::addColumn<double>("totalsY");
        QTest::newRow("none") << 0 << 10.0 << 0 << 0.0 << 0 << 0.0;
        QTest::newRow("45") << 45 << 10.0 << 1 << 85.0 << 1 << 70.0;
        QTest::newRow("46") << 46 << 10.0 << 2 << 525.0 << 2 << 510.0;
        QTest::newRow("last row at 60 keeps the totals") << 25 << 19.0 << 1 << 60.0 << 1 << 45.0;
        QTest::newRow("totals move below 60") << 45 << 11.0 << 2 << 40.0 << 2 << 509.0;
    }
    void pagePlan()
    {
        QFETCH(int, rows);
        QFETCH(double, pitch);
        const ReportPagePlan plan = planReportPages(rows, pitch, true);
        QTEST(plan.pageCount, "pages");
        QTEST(plan.totalsPage, "totalsPage");
        QTEST(plan.totalsY, "totalsY");
        QTEST(plan.rowY.value(rows - 1), "lastRowY");
        QCOMPARE(plan.rowPage.size(), rows);
        for (int i = 0; i < rows; ++i)
            QCOMPARE(plan.rowPage[i], i / 45 + 1);
    }

    // Each page: the header, its own rows from the same height; report 2's totals last.
    void pageBreaks_data()
    {
        QTest::addColumn<unsigned>("which");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("1: 46 rows") << 1u << 46 << 2;
        QTest::newRow("2: 46 rows and totals") << 2u << 46 << 2;
        QTest::newRow("4: 91 rows") << 4u << 91 << 3;
    }
    void pageBreaks()
    {
        QFETCH(unsigned, which);
        QFETCH(int, rows);
        const int pages = print(which, records(rows));
        QTEST(pages, "pages");
        for (int page = 0; page < pages; ++page) {
            const QString t = text(page);
            QVERIFY(t.contains(u"Page: %1"_s.arg(page + 1)) && t.contains(reportTitle(which)));
            QVERIFY(t.contains(house(page * 45 + 1)) && !t.contains(house(page * 45)));
            QCOMPARE(bounds(house(page * 45 + 1), page).bottom(), bounds(house(1)).bottom());
            QCOMPARE(t.contains(u"Total Service Costs"_s), which == 2 && page == pages - 1);
        }
    }

    // Headings and cells at their column's x, headings on the baseline 535 (of
    // 612); the date 5.3 points a character after "Today's Date:"; the totals
    // 30 and 45 points below the last row.
    void positions()
    {
        print(ReportByProperty, records(3, u"1234.50"_s));
        const QString date = NSDateUtilities::shortStyleFromDate(serviced);
        for (const auto &[heading, cell, x] :
             {std::tuple(u"Property"_s, house(1), 15.0), std::tuple(u"Service Task"_s, u"Gutters"_s, 250.0),
              std::tuple(u"Service Date"_s, date, 550.0),
              std::tuple(u"Service Cost"_s, u"$1,234.50"_s, 660.0)}) {
            QVERIFY2(at(heading, x) && at(cell, x), qPrintable(heading));
            QVERIFY2(qAbs(bounds(heading).bottom() - (612 - 535)) < 4, qPrintable(heading));
        }
        QVERIFY(at(NSDateUtilities::shortStyleFromDate(Clock::now()), 15 + 5.3 * 13));
        // Headings are underlined just below their baseline.
        const QImage page = pdf.render(0, QSize(792, 612) * 2);
        auto inked = [&](qreal y) {
            for (int x = 2 * 15; x < 2 * 55; ++x)
                if (qAlpha(page.pixel(x, qRound(2 * y))) < 128)
                    return false;
            return true;
        };
        auto ruled = [&](qreal from, qreal to) {
            for (qreal y = from; y <= to; y += 0.5)
                if (inked(y))
                    return true;
            return false;
        };
        QVERIFY(ruled(612 - 535 - 0.5, 612 - 535 + 1.5) && !ruled(612 - 535 - 7, 612 - 535 - 2));
        // A text met again is drawn from its kept shape: same size, same baseline.
        const QRectF first =
            pdf.getSelectionAtIndex(0, int(text(0).indexOf(u"Gutters"_s)), 7).boundingRectangle();
        const QRectF third = bounds(u"Gutters"_s);
        QVERIFY(qAbs(third.bottom() - bounds(house(3)).bottom()) < 0.5 &&
                qAbs(third.width() - first.width()) < 0.1);
        print(ReportByDate, records(45), 1234.5, 0.0);
        const qreal last = bounds(house(45)).top();
        QVERIFY(qAbs(bounds(u"Total Service Costs"_s).top() - last - 30) < 1.5);
        QVERIFY(qAbs(bounds(u"Average Monthly Cost"_s).top() - last - 45) < 1.5 && at(u"$0.00"_s, 630));
    }

    // A stored cost reads whichever locale wrote it; no number is $0.00, no
    // cost no cell; only report 2 has totals.
    void costCells_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("cell");
        QTest::newRow("canonical") << QVariant(u"1234.50"_s) << u"$1,234.50"_s;
        QTest::newRow("decimal comma") << QVariant(u"1234,50"_s) << u"$1,234.50"_s;
        QTest::newRow("no number") << QVariant(u"n/a"_s) << u"$0.00"_s;
        QTest::newRow("absent") << QVariant() << QString();
    }
    void costCells()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, cell);
        print(ReportByProperty, records(1, stored), 1.0, 2.0);
        QCOMPARE(int(text(0).count(u'$')), cell.isEmpty() ? 0 : 1);
        QVERIFY2(text(0).contains(cell), qPrintable(text(0)));
    }

    // Report 6 looks intervals up in its own rows; 99 has tab 1's headings, no $0.00.
    void taskListAndTable()
    {
        print(ReportTaskList, {{{ServiceTaskNameKey, u"Gutters"_s},
                                {ServiceTaskTimeUnits, 1LL},
                                {ServiceTaskTimeInUnitsKey, 3LL}},
                               {{ServiceTaskNameKey, u"Paint"_s}}});
        QVERIFY(at(u"3 months"_s, 400) && text(0).contains(u"None"_s));
        options.maintenanceTableTitles = QStringList{"Property", "Provider", "Task", "Note", "Date", "Total"};
        print(ReportMaintenanceTable, {{{col::cost, 1234.5}}, {{col::propmaintdate, serviced}}});
        QVERIFY(text(0).contains(u"$1,234.50"_s) && !text(0).contains(u"$0.00"_s));
        QVERIFY(at(u"Date"_s, 685) && at(u"Total"_s, 730) && at(u"$1,234.50"_s, 730));
    }

    // Texts of every script read back from the document, at their column:
    // right-to-left words in the order the viewer gives them, a line break
    // as a space, a character no face has left out.
    void scripts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reads");
        QTest::newRow("accents") << u"Café Ærø, naïve"_s << u"Café Ærø, naïve"_s;
        QTest::newRow("hebrew") << u"בית שמש 12"_s << u"12 שמש בית"_s;
        QTest::newRow("arabic") << u"بيت العائلة"_s << u"العائلة بيت"_s;
        QTest::newRow("line break") << u"Upper\nLower"_s << u"Upper Lower"_s;
        QTest::newRow("figures") << u"12/31/99 – €1,234.50"_s << u"12/31/99 – €1,234.50"_s;
        QTest::newRow("no face") << u"House 家"_s << u"House"_s;
    }
    void scripts()
    {
        QFETCH(QString, name);
        QFETCH(QString, reads);
        RecordList rows = records(2);
        rows[1][PropertyNameKey] = name;
        print(ReportByProperty, rows);
        QVERIFY2(text(0).contains(reads) && at(reads, 15), qPrintable(text(0)));
    }

    // A face cut down to some glyphs draws them, and the parts of an accented
    // letter, exactly as the whole face; the rest are empty.
    void fontSubset()
    {
        const QRawFont face = QRawFont::fromFont(createReportFont(ReportFont::Row));
        const QList<quint32> kept = face.glyphIndexesForString(u"é1"_s);
        const QRawFont cut(trueTypeSubset(face, kept), face.pixelSize());
        QVERIFY(cut.isValid());
        for (const quint32 glyph : kept + face.glyphIndexesForString(u"Z"_s))
            QCOMPARE(cut.pathForGlyph(glyph).isEmpty(), !kept.contains(glyph));
        QCOMPARE(cut.pathForGlyph(kept[0]), face.pathForGlyph(kept[0]));
        QCOMPARE(cut.advancesForGlyphIndexes(kept), face.advancesForGlyphIndexes(kept));
        QVERIFY(trueTypeSubset(QRawFont(), kept).isEmpty());
    }

    // No rows, no such report or a folder that cannot be made: no document.
    void noDocument()
    {
        for (unsigned which : {1u, 2u, 3u, 4u, 5u, 6u, 99u})
            QCOMPARE(printReport(which, {}, 0, 0, options).status, ReportOutcome::NoData);
        for (unsigned which : {0u, 7u, 98u})
            QCOMPARE(printReport(which, records(1), 0, 0, options).status, ReportOutcome::UnknownReport);
        QVERIFY(QDir(options.folder).isEmpty());
        options.folder = QCoreApplication::applicationFilePath() + u"/Reports"_s; // below a file
        const ReportOutcome outcome = printReport(ReportTaskList, records(1), 0, 0, options);
        QVERIFY(outcome.status == ReportOutcome::Failed && !outcome.error.isEmpty());
    }

    // A taken name gets " 2", " 3", ...; nothing is overwritten. By default in "KOV Reports".
    void fileNames()
    {
        QVERIFY(QDir().mkpath(options.folder));
        const QString first = options.folder + u"/Property List Report 2026-12-06 14.05.09"_s;
        QFile mine(first + u".pdf"_s);
        QVERIFY(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
        mine.close();
        QCOMPARE(printReport(ReportPropertyList, records(1), 0, 0, options).path, first + u" 2.pdf"_s);
        QCOMPARE(printReport(ReportPropertyList, records(2), 0, 0, options).path, first + u" 3.pdf"_s);
        QVERIFY(mine.open(QIODevice::ReadOnly) && mine.readAll() == "mine");
        const QString byDate = printReport(ReportByDate, records(1), 0, 0, options).path;
        QVERIFY2(byDate.endsWith(u"/Property Maintenance Report by Date 2026-12-06 14.05.09.pdf"_s),
                 qPrintable(byDate));
        QVERIFY(reportsFolder().endsWith(u"/KOV Reports"_s));
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"

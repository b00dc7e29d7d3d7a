// The version check's and the reminders' rules, without network, D-Bus or widgets.
#include <QtTest>

#include "due/duerules.h"
#include "due/reminderrules.h"
#include "testsupport.h"
#include "version/versionrules.h"

using namespace kov;
using namespace Qt::StringLiterals;

class TestShellRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The fetched version is compared character by character ("1.10" is older
    // than "1.3"); white space around it does not count; only valid UTF-8 up to
    // the size cap that names a version is one at all.
    void versionOutcome_data()
    {
        QTest::addColumn<QByteArray>("published");
        QTest::addColumn<VersionOutcome>("outcome");
        QTest::newRow("newer") << "1.4"_ba << VersionOutcome::Newer;
        QTest::newRow("same") << "1.3"_ba << VersionOutcome::Current;
        QTest::newRow("1.10 vs 1.3") << "1.10"_ba << VersionOutcome::Current;
        QTest::newRow("line end") << "1.3\r\n"_ba << VersionOutcome::Current;
        QTest::newRow("blanks around") << " \t1.4b2 "_ba << VersionOutcome::Newer;
        QTest::newRow("empty") << ""_ba << VersionOutcome::Failed;
        QTest::newRow("a web page") << "<html>9.0</html>"_ba << VersionOutcome::Failed;
        QTest::newRow("long suffix") << "1.4 is out now"_ba << VersionOutcome::Failed;
        QTest::newRow("inner line end") << "1.4\n1.5"_ba << VersionOutcome::Failed;
        QTest::newRow("byte-order mark dropped") << "\xEF\xBB\xBF\x31.3"_ba << VersionOutcome::Current;
        QTest::newRow("bad UTF-8") << "1.\xC3"_ba << VersionOutcome::Failed;
        QTest::newRow("at the cap") << QByteArray(maxVersionFileBytes, '9') << VersionOutcome::Newer;
        QTest::newRow("over the cap") << QByteArray(maxVersionFileBytes + 1, '9') << VersionOutcome::Failed;
    }
    void versionOutcome()
    {
        QFETCH(QByteArray, published);
        QTEST(versionCheckOutcome(decodeFetchedText(published), u"1.3"_s), "outcome");
        QCOMPARE(decodeFetchedText("\xEF\xBB\xBF\xEF\xBB\xBF\x31"_ba), u"\uFEFF1"_s); // a second mark is text
    }

    // A total order by code point: U+1F3E0 sorts above U+FF5E, and a lone
    // surrogate is not U+FFFD.
    void compareIsAnOrder()
    {
        const QStringList texts = QStringList{"", "1", "1.0", "1.9", "a"}
                                  << QString(QChar(0xD801)) << u"\uFF5E"_s << QString(QChar(0xFFFD))
                                  << u"\U0001F3E0"_s;
        for (qsizetype i = 0; i < texts.size(); ++i)
            for (qsizetype j = 0; j < texts.size(); ++j)
                QCOMPARE(compareVersionText(texts[i], texts[j]) <=> 0, i <=> j);
        QCOMPARE(newVersionTitle(u"1.4"_s), u"A new version of KOV (1.4) is available."_s);
        QCOMPARE(currentVersionTitle(u"1.3"_s), u"This version of KOV (1.3) is the current version."_s);
    }

    // The names come back from a reminder's text: all after the first ": " of
    // the first two lines (split at "\r" only).
    void parseReminder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names"); // empty: none
        QTest::newRow("ours") << reminderInformativeText(u"Gutters"_s, u"Lake House"_s)
                              << QStringList{"Gutters", "Lake House"};
        QTest::newRow("colon in names")
            << reminderInformativeText(u"HVAC: filter"_s, u": x"_s) << QStringList{"HVAC: filter", ": x"};
        QTest::newRow("no colon") << u"Gutters\r Lake House"_s << QStringList{"", ""};
        QTest::newRow("one line") << u"Task: Gutters\n for Property: B"_s << QStringList{};
    }
    void parseReminder()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        const auto got = parseReminderText(text);
        QCOMPARE((got ? QStringList{got->task, got->property} : QStringList{}), names);
        QCOMPARE(reminderInformativeText(u"G"_s, u"L"_s), u"Task: G\r for Property: L\r is due"_s);
    }

    // 08:00 on the local day of the next date (New York), across the spring change too.
    void deliveryDate_data()
    {
        QTest::addColumn<QDateTime>("next");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("late") << test::local(2026, 3, 14, 23, 59) << test::local(2026, 3, 14, 8);
        QTest::newRow("UTC instant") << QDateTime(QDate(2026, 3, 15), QTime(3, 30), Qt::UTC)
                                     << test::local(2026, 3, 14, 8);
        QTest::newRow("spring change") << test::local(2026, 3, 8, 12) << test::local(2026, 3, 8, 8);
        QTest::newRow("never due") << neverDueDate() << neverDueDate();
        QTest::newRow("missing") << QDateTime() << QDateTime();
    }
    void deliveryDate()
    {
        QFETCH(QDateTime, next);
        QTEST(reminderDeliveryDate(next), "expected");
    }

    // No reminder below the rows or for a date not after now.
    void menuState()
    {
        const QDateTime now = test::local(2026, 12, 6, 12);
        auto menu = [&](int row, const QDateTime &next, bool supported) {
            return reminderMenuState(row, next, now, supported, u"Dec 6, 2026"_s);
        };
        QCOMPARE(menu(-1, now.addDays(3), true).infoTitle, u"No Maintenance selected  Try again"_s);
        QCOMPARE(menu(0, now, true).infoTitle,
                 u"Can't set a reminder for Next Maint Date in past  Try again"_s);
        QVERIFY(!menu(0, now, true).commandEnabled);
        QCOMPARE(menu(2, now.addMSecs(1), true).infoTitle, u"Maintenance selected for:  Dec 6, 2026"_s);
        QVERIFY(menu(2, now.addMSecs(1), true).commandEnabled);
        QVERIFY(!menu(2, now.addDays(1), false).commandEnabled);
    }
};

QTEST_GUILESS_MAIN(TestShellRules)
#include "tst_shellrules.moc"

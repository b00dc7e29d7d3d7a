// The version check's and the reminders' rules, without network, D-Bus or
// widgets.
#include <QtTest>

#include "version/versionrules.h"
#include "due/duerules.h"
#include "due/reminderrules.h"
#include "testsupport.h"

using namespace kov;

class TestShellRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void versionOutcome_data();
    void versionOutcome();
    void decodeFetched_data();
    void decodeFetched();
    void compareIsAnOrder();
    void versionTitles();

    void reminderText();
    void parseReminder_data();
    void parseReminder();
    void roundTrip_data();
    void roundTrip();
    void deliveryDate_data();
    void deliveryDate();
    void menuState_data();
    void menuState();
};

void TestShellRules::versionOutcome_data()
{
    QTest::addColumn<QByteArray>("published");
    QTest::addColumn<QString>("running");
    QTest::addColumn<int>("outcome");
    const int newer = int(VersionOutcome::Newer), current = int(VersionOutcome::Current);
    QTest::newRow("newer") << QByteArray("1.4") << "1.3" << newer;
    QTest::newRow("same") << QByteArray("1.3") << "1.3" << current;
    QTest::newRow("older") << QByteArray("1.2") << "1.3" << current;
    // Characters, not numbers: "1.10" sorts before "1.9".
    QTest::newRow("1.10 vs 1.9") << QByteArray("1.10") << "1.9" << current;
    QTest::newRow("1.9 vs 1.10") << QByteArray("1.9") << "1.10" << newer;
    // Compared whole: a trailing line break makes the text longer, so greater.
    QTest::newRow("line end") << QByteArray("1.3\n") << "1.3" << newer;
    QTest::newRow("leading blank") << QByteArray(" 1.4") << "1.3" << current;
    QTest::newRow("case counts") << QByteArray("1.3b") << "1.3B" << newer;
    QTest::newRow("empty") << QByteArray("") << "1.3" << current;
    QTest::newRow("bom dropped") << QByteArray("\xEF\xBB\xBF" "1.3") << "1.3" << current;
    QTest::newRow("bad utf-8") << QByteArray("1.\xC3") << "1.3" << int(VersionOutcome::Failed);
    QTest::newRow("too long") << QByteArray(maxVersionFileBytes + 1, '9') << "1.3"
                              << int(VersionOutcome::Failed);
}

void TestShellRules::versionOutcome()
{
    QFETCH(QByteArray, published);
    QFETCH(QString, running);
    QFETCH(int, outcome);
    QCOMPARE(int(versionCheckOutcome(decodeFetchedText(published), running)), outcome);
}

void TestShellRules::decodeFetched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("2.0") << true << "2.0";
    QTest::newRow("nul kept") << QByteArray("2\0.0", 4) << true << QString::fromUtf16(u"2\u0000.0", 4);
    QTest::newRow("emoji") << QByteArray("\xF0\x9F\x8F\xA0") << true << QString::fromUtf8("\xF0\x9F\x8F\xA0");
    QTest::newRow("only a bom") << QByteArray("\xEF\xBB\xBF") << true << "";
    QTest::newRow("second bom kept") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "1") << true
                                     << QStringLiteral("\uFEFF1"); // fromUtf16 would drop it
    QTest::newRow("overlong") << QByteArray("\xC0\xAF") << false << "";
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false << "";
    QTest::newRow("cut sequence") << QByteArray("1.0\xE2\x82") << false << "";
    QTest::newRow("latin-1") << QByteArray("caf\xE9") << false << "";
    QTest::newRow("at the cap") << QByteArray(maxVersionFileBytes, '1') << true
                                << QString(maxVersionFileBytes, u'1');
}

void TestShellRules::decodeFetched()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    const auto got = decodeFetchedText(bytes);
    QCOMPARE(got.has_value(), ok);
    if (ok)
        QCOMPARE(*got, text);
}

void TestShellRules::compareIsAnOrder()
{
    // Code points, not UTF-16 units: U+1F3E0 is above U+FF5E.
    const QStringList texts{"", "1", "1.0", "1.10", "1.9", "A", "a", QString::fromUtf16(u"\uFF5E"),
                            QString::fromUtf8("\xF0\x9F\x8F\xA0"), "1.0\n",
                            // A lone surrogate is not the replacement character.
                            QString(QChar(0xD801)), QString(QChar(0xFFFD))};
    for (const QString &a : texts) {
        for (const QString &b : texts) {
            const int ab = compareVersionText(a, b), ba = compareVersionText(b, a);
            QCOMPARE(ab == 0, a == b);
            QCOMPARE(ab < 0, ba > 0);
        }
    }
    QVERIFY(compareVersionText(QString::fromUtf8("\xF0\x9F\x8F\xA0"), QString::fromUtf16(u"\uFF5E")) > 0);
}

void TestShellRules::versionTitles()
{
    QCOMPARE(newVersionTitle("1.4\n"), QString("A new version of KOV (1.4\n) is available."));
    QCOMPARE(currentVersionTitle("1.3"), QString("This version of KOV (1.3) is the current version."));
    QVERIFY(versionFileUrl().endsWith("/kov_version.txt"));
    QVERIFY(productWebPageUrl().endsWith("/kov.htm"));
    QVERIFY(!runningVersionString().isEmpty());
}

void TestShellRules::reminderText()
{
    QCOMPARE(reminderInformativeText("Gutters", "Lake House"),
             QString("Task: Gutters\r for Property: Lake House\r is due"));
}

void TestShellRules::parseReminder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("task");
    QTest::addColumn<QString>("property");
    QTest::newRow("ours") << "Task: Gutters\r for Property: Lake House\r is due" << true << "Gutters"
                          << "Lake House";
    QTest::newRow("two lines") << "Task: A\r for Property: B" << true << "A" << "B";
    QTest::newRow("one line") << "Task: Gutters" << false << "" << "";
    QTest::newRow("empty") << "" << false << "" << "";
    // Another language's labels: only the ": " counts.
    QTest::newRow("german") << "Aufgabe: Dach\r für Objekt: Haus\r ist fällig" << true << "Dach"
                            << "Haus";
    QTest::newRow("no colon") << "Gutters\r Lake House" << true << "" << "";
    QTest::newRow("colon in name") << "Task: HVAC: filter\r for Property: Unit 2: rear\r is due"
                                   << true << "HVAC: filter" << "Unit 2: rear";
    QTest::newRow("colon at end") << "Task: \r for Property: " << true << "" << "";
    QTest::newRow("newline is not a break") << "Task: A\n for Property: B" << false << "" << "";
}

void TestShellRules::parseReminder()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, task);
    QFETCH(QString, property);
    const auto got = parseReminderText(text);
    QCOMPARE(got.has_value(), ok);
    if (ok) {
        QCOMPARE(got->task, task);
        QCOMPARE(got->property, property);
    }
}

void TestShellRules::roundTrip_data()
{
    QTest::addColumn<QString>("task");
    QTest::addColumn<QString>("property");
    QTest::newRow("plain") << "Gutters" << "Lake House";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("colons") << "a: b: c" << ": x";
    QTest::newRow("rtl and emoji") << QString::fromUtf8("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D") << QString::fromUtf8("\xF0\x9F\x8F\xA0 1");
    QTest::newRow("newline") << "a\nb" << "c\td";
}

void TestShellRules::roundTrip()
{
    QFETCH(QString, task);
    QFETCH(QString, property);
    const auto got = parseReminderText(reminderInformativeText(task, property));
    QVERIFY(got);
    QCOMPARE(got->task, task);
    QCOMPARE(got->property, property);
}

void TestShellRules::deliveryDate_data()
{
    QTest::addColumn<QDateTime>("next");
    QTest::addColumn<QDateTime>("expected");
    using test::local;
    QTest::newRow("afternoon") << local(2026, 3, 14, 15, 30) << local(2026, 3, 14, 8);
    QTest::newRow("midnight") << local(2026, 3, 14, 0, 0) << local(2026, 3, 14, 8);
    QTest::newRow("late") << local(2026, 3, 14, 23, 59) << local(2026, 3, 14, 8);
    // 03:30 UTC on the 15th is still the 14th in New York.
    QTest::newRow("utc instant") << QDateTime(QDate(2026, 3, 15), QTime(3, 30), Qt::UTC)
                                 << local(2026, 3, 14, 8);
    QTest::newRow("dst day") << local(2026, 3, 8, 12) << local(2026, 3, 8, 8);
    QTest::newRow("never due") << neverDueDate() << neverDueDate();
    QTest::newRow("missing") << QDateTime() << QDateTime();
}

void TestShellRules::deliveryDate()
{
    QFETCH(QDateTime, next);
    QFETCH(QDateTime, expected);
    const QDateTime got = reminderDeliveryDate(next);
    QCOMPARE(got.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(got.toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
}

void TestShellRules::menuState_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QDateTime>("next");
    QTest::addColumn<bool>("supported");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("commandEnabled");
    const QDateTime now = test::local(2026, 12, 6, 12);
    QTest::newRow("below the rows") << -1 << now.addDays(3) << true << "No Maintenance selected  Try again"
                                    << "" << false;
    QTest::newRow("overdue") << 0 << now.addDays(-3) << true
                             << "Can't set a reminder for Next Maint Date in past  Try again" << "" << false;
    QTest::newRow("now is past") << 0 << now << true
                                 << "Can't set a reminder for Next Maint Date in past  Try again" << "" << false;
    QTest::newRow("future") << 2 << now.addMSecs(1) << true << "Maintenance selected for:  Dec 6, 2026"
                            << "Send a reminder to the System Notification Center for this item" << true;
    QTest::newRow("unsupported") << 2 << now.addDays(1) << false << "Maintenance selected for:  Dec 6, 2026"
                                 << "System Notification Center requires OS X 10.8+" << false;
    QTest::newRow("never due") << 1 << neverDueDate() << true << "Maintenance selected for:  Dec 6, 2026"
                               << "Send a reminder to the System Notification Center for this item" << true;
}

void TestShellRules::menuState()
{
    QFETCH(int, row);
    QFETCH(QDateTime, next);
    QFETCH(bool, supported);
    QFETCH(QString, info);
    QFETCH(QString, command);
    QFETCH(bool, commandEnabled);
    // The medium date is the caller's; a fixed one keeps the table simple.
    const auto state = reminderMenuState(row, next, test::local(2026, 12, 6, 12), supported, "Dec 6, 2026");
    QCOMPARE(state.infoTitle, info);
    QCOMPARE(state.commandTitle, command);
    QCOMPARE(state.commandEnabled, commandEnabled);
}

QTEST_GUILESS_MAIN(TestShellRules)
#include "tst_shellrules.moc"

// The version check against a small HTTP server on 127.0.0.1 playing the product's
// site (KOV_SITE_URL points at it): what each answer tells, and a window kept running.
#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

#include "app/versioncheck.h"
#include "version/versionrules.h"
#include "windowsupport.h"

using namespace kov;
using namespace kov::test;

namespace {
// Answers each path with the bytes set for it and hangs up; an empty answer
// holds the connection open, unanswered, in `held`.
class TinySite : public QTcpServer {
public:
    TinySite()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    requested.append(s->readAll().split(' ').value(1)); // GET /path HTTP/1.1
                    if (answers.value(requested.last()).isEmpty())
                        held.append(s);
                    else if (s->write(answers.value(requested.last())))
                        s->disconnectFromHost();
                });
        });
    }
    QByteArray url() const { return "http://127.0.0.1:" + QByteArray::number(serverPort()) + "/"; }
    QHash<QByteArray, QByteArray> answers;
    QList<QByteArray> requested;
    QList<QTcpSocket *> held;
};
// An answer with its status line and length.
QByteArray http(int status, const QByteArray &body, const QByteArray &headers = {})
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\n" + headers +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}
const QByteArray running = runningVersionString().toUtf8();
const QString failed = QStringLiteral("Version check failed."), next = runningVersionString() + ".1",
              current = currentVersionTitle(runningVersionString());
} // namespace

class Tstversioncheck : public QObject {
    Q_OBJECT
    std::unique_ptr<TinySite> site;
    QList<AlertRecord> alerts;
    QList<QUrl> opened;
private Q_SLOTS:
    void initTestCase()
    {
        setUpWindowTests(this, alerts);
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }
    void init()
    {
        alerts.clear(), opened.clear();
        site = std::make_unique<TinySite>();
        qputenv("KOV_SITE_URL", site->url());
        AlertCenter::instance()->modalAnswer = [](const AlertRecord &) { return AlertFirstButtonReturn; };
        AlertCenter::instance()->urlOpener = [this](const QUrl &u) { return opened.append(u), true; };
    }
    void cleanup() { endWindowTest(); }
    void outcome_data()
    {
        QTest::addColumn<QByteArray>("answer"); // for /kov_version.txt; empty: no answer at all
        QTest::addColumn<QString>("title");
        QTest::newRow("newer") << http(200, next.toUtf8()) << newVersionTitle(next);
        QTest::newRow("current") << http(200, running) << current;
        QTest::newRow("HTTP 404") << http(404, running) << failed;
        QTest::newRow("64 KiB and a byte") << http(200, QByteArray(64 * 1024 + 1, '9')) << failed;
        QTest::newRow("64 KiB and a byte, no length")
            << "HTTP/1.1 200 X\r\n\r\n" + QByteArray(64 * 1024 + 1, '9') << failed;
        QTest::newRow("redirect loop") << http(302, {}, "Location: /kov_version.txt\r\n") << failed;
        QTest::newRow("never answers") << QByteArray() << failed;
    }
    // Guards against a wrong alert for an answer ("Go to web site" answered for a
    // newer one), a fetch unbounded in size, time or redirects, and a lost busy cursor.
    void outcome()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, title);
        site->answers.insert("/kov_version.txt", answer);
        VersionCheck check;
        // Short only where the server never answers: elsewhere a slow machine
        // must not turn an answer into a time-out.
        check.fetchTimeoutMs = answer.isEmpty() ? 300 : 15000;
        QSignalSpy finished(&check, &VersionCheck::checkFinished);
        check.checkForNewVersion();
        QVERIFY(finished.wait(20000));
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].title, title);
        if (title == failed)
            QCOMPARE(alerts[0].message, QStringLiteral("The KOV web site could not be contacted."));
        QCOMPARE(opened,
                 title == newVersionTitle(next) ? QList<QUrl>{QUrl(site->url() + "kov.htm")} : QList<QUrl>{});
        QVERIFY(!QGuiApplication::overrideCursor());
        // Bounded: the first request and five redirects at most; Qt may send a
        // request again when the server closed the connection under it, which
        // on a busy machine can happen at any of the hops.
        const int wanted = answer.contains("/kov_version") ? 6 : 1;
        const qsizetype asked = site->requested.count("/kov_version.txt");
        QVERIFY(asked >= wanted && asked <= 2 * wanted);
    }
    // Guards against a check that holds the event loop, and a second check
    // started over a running one.
    void windowRunsWhileChecking()
    {
        QTemporaryDir dir;
        beginWindowTest(dir, QDateTime(QDate(2026, 6, 15), QTime(14, 30)));
        auto w = startWindow();
        auto *action = child<QAction>(w.get(), "actionNewVersionCheck");
        QSignalSpy finished(w->versionCheck(), &VersionCheck::checkFinished);
        action->trigger();
        QTRY_COMPARE(site->held.size(), 1);
        bool fired = false;
        QTimer::singleShot(0, this, [&fired] { fired = true; });
        QTRY_VERIFY(fired);
        w->versionCheck()->fetchTimeoutMs = 300; // a second fetch would end soon, and show
        action->trigger();                       // ignored
        site->held[0]->write(http(200, running));
        site->held[0]->disconnectFromHost();
        QVERIFY(finished.wait(20000));
        QVERIFY(!finished.wait(1500));
        QCOMPARE(site->requested.size(), 1);
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].title, current);
    }
};

QTEST_MAIN(Tstversioncheck)
#include "tst_versioncheck.moc"

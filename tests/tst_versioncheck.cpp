// The version check and the product web page for real: a tiny HTTP server on
// 127.0.0.1 plays the product's web site (KOV_SITE_URL points at it, so no
// test ever reaches the internet), the alerts are answered through the
// AlertCenter and the browser is the urlOpener seam.
#include <QAction>
#include <QGuiApplication>
#include <QHash>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "app/versioncheck.h"
#include "version/versionrules.h"
#include "ui_mainwindow.h"

#include "windowsupport.h"

using namespace kov;

namespace {

// What the site answers for one path.
struct Answer {
    enum Kind {
        Full,               // status line, headers, the whole body, close
        Silent,             // reads the request and never answers
        HeadersThenSilent,  // a 200 and its headers, then nothing
        Endless,            // a 200 whose body never ends
    };
    Kind kind = Full;
    int status = 200;
    QByteArray body;
    QByteArray headers;  // extra header lines, each ending in \r\n
    bool contentLength = true;
};

Answer ok(const QByteArray &body)
{
    return {Answer::Full, 200, body, {}, true};
}

Answer status(int code)
{
    return {Answer::Full, code, "error page", {}, true};
}

Answer redirect(const QByteArray &to)
{
    return {Answer::Full, 302, {}, "Location: " + to + "\r\n", true};
}

Answer kind(Answer::Kind k)
{
    Answer a;
    a.kind = k;
    return a;
}

// The answers of a site, by path.
using SiteAnswers = QList<QPair<QByteArray, Answer>>;

// An HTTP/1.1 server answering each path with the Answer set for it (404
// for any other), one request per connection.
class TinySite : public QObject {
public:
    TinySite()
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        });
    }
    bool listen() { return server.listen(QHostAddress::LocalHost, 0); }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort()); }

    QHash<QByteArray, Answer> answers;
    QList<QByteArray> requested;
    // Runs as each request arrives, while KOV waits for its answer.
    std::function<void()> onRequest;

private:
    void readRequest(QTcpSocket *socket)
    {
        QByteArray &seen = pending[socket];
        seen += socket->readAll();
        const qsizetype end = seen.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray path = seen.left(seen.indexOf("\r\n")).split(' ').value(1);
        pending.remove(socket);
        requested.append(path);
        if (onRequest)
            onRequest();
        const Answer a = answers.value(path, status(404));
        if (a.kind == Answer::Silent)
            return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " Answer\r\n" + a.headers
            + "Content-Type: text/plain\r\nConnection: close\r\n";
        if (a.contentLength && a.kind == Answer::Full)
            head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
        socket->write(head + "\r\n");
        switch (a.kind) {
        case Answer::Full:
            socket->write(a.body);
            socket->disconnectFromHost();
            break;
        case Answer::Endless:
            // Another chunk whenever the last one has gone, until KOV hangs up.
            connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
                if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() == 0)
                    socket->write(QByteArray(16 * 1024, '9'));
            });
            socket->write(QByteArray(16 * 1024, '9'));
            break;
        default:
            break;
        }
    }

    QTcpServer server;
    QHash<QTcpSocket *, QByteArray> pending;
};

const QString failedTitle = QStringLiteral("Version check failed.");
const QString failedMessage = QStringLiteral("The KOV web site could not be contacted.");
const QString unableTitle = QStringLiteral("Unable to Find KOV web page, is there a live connection to the Web?");

QString currentTitle()
{
    return QStringLiteral("This version of KOV (%1) is the current version.").arg(runningVersionString());
}

QString newTitle(const QString &published)
{
    return QStringLiteral("A new version of KOV (") + published + QStringLiteral(") is available.");
}

// A port nothing listens on: one the system just handed out and took back.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

Q_DECLARE_METATYPE(Answer)
Q_DECLARE_METATYPE(kov::FetchStatus)

class TestVersionCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void fetch_data();
    void fetch();
    void fetchRefused();
    void fetchNotAUrl_data();
    void fetchNotAUrl();
    void checkForNewVersion_data();
    void checkForNewVersion();
    void checkRefused();
    void checkNotAUrl();
    void newVersionAnswers_data();
    void newVersionAnswers();
    void busyCursorWhileFetching();
    void openURLString_data();
    void openURLString();
    void productWebPage_data();
    void productWebPage();
    void menuActions();

private:
    QTemporaryDir *dir = nullptr;
    TinySite *site = nullptr;
    QList<AlertRecord> alerts;
    QList<QUrl> opened;
    bool openerSucceeds = true;
    // How modal alerts are answered, by the title of the button pressed.
    QString pressButton;
};

void TestVersionCheck::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
    // A proxy of the machine's would stand between KOV and the local site.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

void TestVersionCheck::init()
{
    dir = new QTemporaryDir;
    alerts.clear();
    opened.clear();
    openerSucceeds = true;
    pressButton.clear();
    kov::test::beginWindowTest(*dir, QDateTime(QDate(2026, 6, 15), QTime(14, 30), QTimeZone("America/New_York")));
    site = new TinySite;
    QVERIFY(site->listen());
    qputenv("KOV_SITE_URL", site->url().toUtf8());
    AlertCenter::instance()->urlOpener = [this](const QUrl &url) {
        opened.append(url);
        return openerSucceeds;
    };
    AlertCenter::instance()->modalAnswer = [this](const AlertRecord &r) {
        const qsizetype i = r.buttons.indexOf(pressButton);
        return i == 1 ? AlertSecondButtonReturn : AlertFirstButtonReturn;
    };
}

void TestVersionCheck::cleanup()
{
    kov::test::endWindowTest();
    // Nothing after this test may reach the site it pointed at.
    qputenv("KOV_SITE_URL", "http://127.0.0.1:9/");
    delete site;
    site = nullptr;
    delete dir;
}

void TestVersionCheck::fetch_data()
{
    QTest::addColumn<SiteAnswers>("answers");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<FetchStatus>("expected");
    QTest::addColumn<QByteArray>("bytes");
    using Site = SiteAnswers;
    const QByteArray cap(maxVersionFileBytes, '1');
    Answer unannounced = ok(cap + "1");
    unannounced.contentLength = false;
    Answer announcedOnly = ok(cap + "1");

    QTest::newRow("200") << Site{{"/f", ok("1.4")}} << 5000 << FetchStatus::Fetched << QByteArray("1.4");
    QTest::newRow("empty 200") << Site{{"/f", ok("")}} << 5000 << FetchStatus::Fetched << QByteArray();
    QTest::newRow("404") << Site{} << 5000 << FetchStatus::HttpError << QByteArray();
    QTest::newRow("403") << Site{{"/f", status(403)}} << 5000 << FetchStatus::HttpError << QByteArray();
    QTest::newRow("500") << Site{{"/f", status(500)}} << 5000 << FetchStatus::HttpError << QByteArray();
    QTest::newRow("300 not followed") << Site{{"/f", status(300)}} << 5000 << FetchStatus::Failed << QByteArray();
    QTest::newRow("redirect") << Site{{"/f", redirect("/moved")}, {"/moved", ok("1.5")}} << 5000
                              << FetchStatus::Fetched << QByteArray("1.5");
    QTest::newRow("redirect to a missing page")
        << Site{{"/f", redirect("/gone")}} << 5000 << FetchStatus::HttpError << QByteArray();
    Site five{{"/f", redirect("/r1")}};
    for (int i = 1; i < maxFetchRedirects; ++i)
        five.append({"/r" + QByteArray::number(i), redirect("/r" + QByteArray::number(i + 1))});
    Site six = five;
    five.append({"/r" + QByteArray::number(maxFetchRedirects), ok("1.6")});
    six.append({"/r" + QByteArray::number(maxFetchRedirects), redirect("/last")});
    six.append({"/last", ok("1.6")});
    QTest::newRow("as many redirects as allowed") << five << 5000 << FetchStatus::Fetched << QByteArray("1.6");
    QTest::newRow("one redirect too many") << six << 5000 << FetchStatus::Failed << QByteArray();
    QTest::newRow("redirect loop") << Site{{"/f", redirect("/f")}} << 5000 << FetchStatus::Failed << QByteArray();
    QTest::newRow("never answers") << Site{{"/f", kind(Answer::Silent)}} << 300 << FetchStatus::TimedOut
                                   << QByteArray();
    QTest::newRow("headers, then silence")
        << Site{{"/f", kind(Answer::HeadersThenSilent)}} << 300 << FetchStatus::TimedOut << QByteArray();
    QTest::newRow("exactly the cap") << Site{{"/f", ok(cap)}} << 20000 << FetchStatus::Fetched << cap;
    QTest::newRow("one byte over, announced")
        << Site{{"/f", announcedOnly}} << 20000 << FetchStatus::TooLarge << QByteArray();
    QTest::newRow("one byte over, unannounced")
        << Site{{"/f", unannounced}} << 20000 << FetchStatus::TooLarge << QByteArray();
    // Were the stream not cut off at the cap, this would end in TimedOut.
    QTest::newRow("body without end") << Site{{"/f", kind(Answer::Endless)}} << 120000 << FetchStatus::TooLarge
                                      << QByteArray();
}

void TestVersionCheck::fetch()
{
    QFETCH(SiteAnswers, answers);
    QFETCH(int, timeoutMs);
    QFETCH(FetchStatus, expected);
    QFETCH(QByteArray, bytes);
    for (const auto &[path, answer] : answers)
        site->answers.insert(path, answer);

    const FetchResult got = fetchBytes(site->url() + QStringLiteral("f"), maxVersionFileBytes, timeoutMs);
    QCOMPARE(got.status, expected);
    QCOMPARE(got.bytes, bytes);
    QVERIFY(!site->requested.isEmpty());
    QCOMPARE(site->requested.first(), QByteArray("/f"));
}

void TestVersionCheck::fetchRefused()
{
    const FetchResult got =
        fetchBytes(QStringLiteral("http://127.0.0.1:%1/f").arg(closedPort()), maxVersionFileBytes, 5000);
    QCOMPARE(got.status, FetchStatus::Failed);
}

void TestVersionCheck::fetchNotAUrl_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("a path") << QStringLiteral("kov_version.txt");
    QTest::newRow("no host") << QStringLiteral("http:///kov_version.txt");
    QTest::newRow("a file") << QStringLiteral("file:///etc/hostname");
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/kov_version.txt");
    QTest::newRow("broken host") << QStringLiteral("http://[::1/kov_version.txt");
}

void TestVersionCheck::fetchNotAUrl()
{
    QFETCH(QString, text);
    QCOMPARE(fetchBytes(text, maxVersionFileBytes, 5000).status, FetchStatus::NotAUrl);
    QVERIFY(site->requested.isEmpty());
}

void TestVersionCheck::checkForNewVersion_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("buttons");
    const QString running = runningVersionString();
    const QByteArray run = running.toUtf8();
    const QStringList newButtons{QStringLiteral("Go to web site"), QStringLiteral("Cancel")};
    const QStringList okButton{QStringLiteral("OK")};
    const QString downloadIt = QStringLiteral("It can be downloaded from the KOV web site.");
    // Plain character order, told apart from numeric order by QString's own
    // comparison (UTF-16 units; the same for these ASCII texts).
    const auto byCharacters = [&](const QString &published) {
        return published > running ? newTitle(published) : currentTitle();
    };
    const auto byCharactersMessage = [&](const QString &published) {
        return published > running ? downloadIt : QString();
    };
    const auto byCharactersButtons = [&](const QString &published) {
        return published > running ? newButtons : okButton;
    };

    QTest::newRow("newer") << ok(run + ".1") << newTitle(running + ".1") << downloadIt << newButtons;
    QTest::newRow("same") << ok(run) << currentTitle() << QString() << okButton;
    QTest::newRow("older") << ok("0.1") << currentTitle() << QString() << okButton;
    for (const char *published : {"1.10", "1.9", "10.0", "2"}) {
        const QString p = QString::fromLatin1(published);
        QTest::addRow("%s by characters", published)
            << ok(published) << byCharacters(p) << byCharactersMessage(p) << byCharactersButtons(p);
    }
    QTest::newRow("line break at the end") << ok(run + "\n") << newTitle(running + QLatin1Char('\n')) << downloadIt
                                           << newButtons;
    QTest::newRow("byte-order mark, same") << ok("\xEF\xBB\xBF" + run) << currentTitle() << QString() << okButton;
    QTest::newRow("byte-order mark, newer")
        << ok("\xEF\xBB\xBF" + run + ".1") << newTitle(running + ".1") << downloadIt << newButtons;
    QTest::newRow("invalid UTF-8") << ok("1.\xFF") << failedTitle << failedMessage << okButton;
    QTest::newRow("404") << status(404) << failedTitle << failedMessage << okButton;
    QTest::newRow("500") << status(500) << failedTitle << failedMessage << okButton;
    QTest::newRow("never answers") << kind(Answer::Silent) << failedTitle << failedMessage << okButton;
    QTest::newRow("larger than the cap")
        << ok(QByteArray(maxVersionFileBytes + 1, '9')) << failedTitle << failedMessage << okButton;
    QTest::newRow("redirected to the same version")
        << redirect("/download/kov_version.txt") << currentTitle() << QString() << okButton;
}

void TestVersionCheck::checkForNewVersion()
{
    QFETCH(Answer, answer);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QStringList, buttons);
    site->answers.insert("/kov_version.txt", answer);
    site->answers.insert("/download/kov_version.txt", ok(runningVersionString().toUtf8()));
    pressButton = QStringLiteral("Cancel");
    auto d = kov::test::startWindow();
    d->fetchTimeoutMs = 300;

    d->checkForNewVersion();
    QCOMPARE(site->requested.value(0), QByteArray("/kov_version.txt"));
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].kind, AlertRecord::Modal);
    QCOMPARE(alerts[0].style, AlertStyle::Informational);
    QCOMPARE(alerts[0].title, title);
    QCOMPARE(alerts[0].message, message);
    QCOMPARE(alerts[0].buttons, buttons);
    QVERIFY(opened.isEmpty());
}

void TestVersionCheck::checkRefused()
{
    qputenv("KOV_SITE_URL", QStringLiteral("http://127.0.0.1:%1/").arg(closedPort()).toUtf8());
    auto d = kov::test::startWindow();
    d->checkForNewVersion();
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, failedTitle);
    QCOMPARE(alerts[0].message, failedMessage);
}

void TestVersionCheck::checkNotAUrl()
{
    qputenv("KOV_SITE_URL", "not a site");
    auto d = kov::test::startWindow();
    d->checkForNewVersion();
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, failedTitle);
    QVERIFY(site->requested.isEmpty());
}

void TestVersionCheck::newVersionAnswers_data()
{
    QTest::addColumn<QString>("press");
    QTest::addColumn<bool>("openerSucceeds");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("titles");
    const QString newer = newTitle(runningVersionString() + QStringLiteral(".1"));
    QTest::newRow("Go to web site") << QStringLiteral("Go to web site") << true << true << QStringList{newer};
    QTest::newRow("Cancel") << QStringLiteral("Cancel") << true << false << QStringList{newer};
    QTest::newRow("Go to web site, no browser")
        << QStringLiteral("Go to web site") << false << true << QStringList{newer, unableTitle};
}

void TestVersionCheck::newVersionAnswers()
{
    QFETCH(QString, press);
    QFETCH(bool, openerSucceeds);
    QFETCH(bool, opens);
    QFETCH(QStringList, titles);
    site->answers.insert("/kov_version.txt", ok(runningVersionString().toUtf8() + ".1"));
    pressButton = press;
    this->openerSucceeds = openerSucceeds;
    auto d = kov::test::startWindow();

    d->checkForNewVersion();
    QStringList shown;
    for (const AlertRecord &r : std::as_const(alerts))
        shown.append(r.title);
    QCOMPARE(shown, titles);
    QCOMPARE(opened, opens ? QList<QUrl>{QUrl(site->url() + QStringLiteral("kov.htm"))} : QList<QUrl>{});
}

void TestVersionCheck::busyCursorWhileFetching()
{
    site->answers.insert("/kov_version.txt", ok(runningVersionString().toUtf8()));
    std::optional<Qt::CursorShape> whileFetching;
    site->onRequest = [&] {
        if (const QCursor *c = QGuiApplication::overrideCursor())
            whileFetching = c->shape();
    };
    bool cursorDuringAlert = true;
    AlertCenter::instance()->modalAnswer = [&](const AlertRecord &) {
        cursorDuringAlert = QGuiApplication::overrideCursor() != nullptr;
        return AlertFirstButtonReturn;
    };
    auto d = kov::test::startWindow();

    d->checkForNewVersion();
    QCOMPARE(whileFetching, std::optional<Qt::CursorShape>(Qt::WaitCursor));
    QVERIFY(!cursorDuringAlert);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(alerts.size(), 1);

    // A failed fetch gives the cursor back as well.
    site->answers.insert("/kov_version.txt", kind(Answer::Silent));
    d->fetchTimeoutMs = 200;
    d->checkForNewVersion();
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(alerts.size(), 2);
    QCOMPARE(alerts[1].title, failedTitle);
}

void TestVersionCheck::openURLString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("openerSucceeds");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("reachesOpener");
    QTest::newRow("web page") << QStringLiteral("http://127.0.0.1:9/kov.htm") << true << 0 << true;
    QTest::newRow("https") << QStringLiteral("https://example.invalid/kov.htm") << true << 0 << true;
    QTest::newRow("nothing opens it") << QStringLiteral("http://127.0.0.1:9/kov.htm") << false
                                      << urlNotOpenedStatus << true;
    QTest::newRow("empty") << QString() << true << -50 << false;
    QTest::newRow("no scheme") << QStringLiteral("kov.htm") << true << -50 << false;
    QTest::newRow("broken host") << QStringLiteral("http://[::1/kov.htm") << true << -50 << false;
    QTest::newRow("space in host") << QStringLiteral("http://tolvander werks.com/kov.htm") << true << -50 << false;
}

void TestVersionCheck::openURLString()
{
    QFETCH(QString, text);
    QFETCH(bool, openerSucceeds);
    QFETCH(int, expected);
    QFETCH(bool, reachesOpener);
    this->openerSucceeds = openerSucceeds;
    KOVAppDelegate d;
    QCOMPARE(d.openURLString(text), expected);
    QCOMPARE(opened.size(), reachesOpener ? 1 : 0);
    if (reachesOpener)
        QCOMPARE(opened[0], QUrl(text));
    QVERIFY(alerts.isEmpty());
}

void TestVersionCheck::productWebPage_data()
{
    QTest::addColumn<QByteArray>("siteUrl");
    QTest::addColumn<bool>("openerSucceeds");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("openerCalls");
    QTest::newRow("opened") << QByteArray("http://127.0.0.1:9/") << true << QStringList{} << 1;
    QTest::newRow("no browser") << QByteArray("http://127.0.0.1:9/") << false << QStringList{unableTitle} << 1;
    QTest::newRow("site not a URL") << QByteArray("not a site") << true << QStringList{unableTitle} << 0;
}

void TestVersionCheck::productWebPage()
{
    QFETCH(QByteArray, siteUrl);
    QFETCH(bool, openerSucceeds);
    QFETCH(QStringList, titles);
    QFETCH(int, openerCalls);
    qputenv("KOV_SITE_URL", siteUrl);
    this->openerSucceeds = openerSucceeds;
    KOVAppDelegate d;

    d.openProductWebPage();
    QCOMPARE(opened.size(), openerCalls);
    if (openerCalls)
        QCOMPARE(opened[0], QUrl(QString::fromUtf8(siteUrl) + QStringLiteral("kov.htm")));
    QStringList shown;
    for (const AlertRecord &r : std::as_const(alerts)) {
        shown.append(r.title);
        QCOMPARE(r.kind, AlertRecord::Modal);
        QCOMPARE(r.style, AlertStyle::Informational);
        QCOMPARE(r.message, QString());
        QCOMPARE(r.buttons, QStringList{QStringLiteral("OK")});
    }
    QCOMPARE(shown, titles);
    QVERIFY(site->requested.isEmpty());
}

void TestVersionCheck::menuActions()
{
    site->answers.insert("/kov_version.txt", ok(runningVersionString().toUtf8()));
    auto d = kov::test::startWindow();

    d->ui->actionNewVersionCheck->trigger();
    QCOMPARE(site->requested, QList<QByteArray>{"/kov_version.txt"});
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, currentTitle());

    d->ui->actionLaunchURL->trigger();
    QCOMPARE(opened, QList<QUrl>{QUrl(site->url() + QStringLiteral("kov.htm"))});
    QCOMPARE(alerts.size(), 1);

    openerSucceeds = false;
    d->ui->actionLaunchURL->trigger();
    QCOMPARE(alerts.size(), 2);
    QCOMPARE(alerts[1].title, unableTitle);
}

QTEST_MAIN(TestVersionCheck)
#include "tst_versioncheck.moc"

#include "app/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include "app/mainwindow.h"
#include "due/duetab.h"

namespace kov {

namespace {
QString runtimePath(const QString &name, const char *suffix)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/kov-") + name + QLatin1String(suffix);
}
} // namespace

SingleInstance::SingleInstance(const QString &instanceName, QObject *parent)
    : QObject(parent), name(instanceName), lock(runtimePath(instanceName, ".lock"))
{
}

SingleInstance::~SingleInstance()
{
    if (server)
        server->close();
}

bool SingleInstance::claim()
{
    if (!lock.tryLock(0))
        return false;
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString socketPath = runtimePath(name, ".socket");
    QLocalServer::removeServer(socketPath);  // left by a crashed holder of the lock
    server->listen(socketPath);
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine())
                    Q_EMIT messageReceived(QString::fromUtf8(socket->readLine()).trimmed());
            });
        }
    });
    return true;
}

bool SingleInstance::send(const QString &name, const QString &message, int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    // The holder may be starting and not listen yet.
    do {
        QLocalSocket socket;
        socket.connectToServer(runtimePath(name, ".socket"));
        if (socket.waitForConnected(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
            socket.write(message.toUtf8() + '\n');
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return false;
}

bool claimWindow(SingleInstance &instance, const QString &launchMessage)
{
    if (instance.claim())
        return true;
    if (!SingleInstance::send(QStringLiteral("window"), launchMessage, 5000))
        qWarning("KOV is already running but does not answer.");
    return false;
}

void respondToLaunchMessage(MainWindow &window, const QString &message)
{
    if (message.startsWith(QLatin1String("reminder ")))
        window.dueTab()->respondToUserNotification(message.mid(9));
}

void serveWindow(SingleInstance &instance, MainWindow &window)
{
    QObject::connect(&instance, &SingleInstance::messageReceived, &window, [&window](const QString &message) {
        window.showNormal();
        window.raise();
        window.activateWindow();
        respondToLaunchMessage(window, message);
    });
}

} // namespace kov

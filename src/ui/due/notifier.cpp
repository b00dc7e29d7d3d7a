#include "due/notifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

namespace kov {

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(service, path, interface, method);
}
} // namespace

Notifier::Notifier(QObject *parent) : QObject(parent), bus(QDBusConnection::sessionBus())
{
    if (!bus.isConnected()) {
        ready = true;
        return;
    }
    auto *watcher = new QDBusServiceWatcher(service, bus,
                                            QDBusServiceWatcher::WatchForRegistration |
                                                QDBusServiceWatcher::WatchForUnregistration,
                                            this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { lookAtBus(); });
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { lookAtBus(); });
    bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint, uint)));
    lookAtBus();
}

// Supported when the name has an owner or the bus can start one; then the
// service's capabilities tell whether the body is read as markup.
void Notifier::lookAtBus()
{
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << service;
    auto *owner = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
    connect(owner, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusPendingReply<bool> has = *w;
        if (!has.isError() && has.value()) {
            setSupported(true);
            return;
        }
        QDBusMessage list = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames"));
        auto *names = new QDBusPendingCallWatcher(bus.asyncCall(list), this);
        connect(names, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *n) {
            n->deleteLater();
            const QDBusPendingReply<QStringList> activatable = *n;
            setSupported(!activatable.isError() && activatable.value().contains(service));
        });
    });
}

void Notifier::setSupported(bool value)
{
    const bool changed = value != supported;
    supported = value;
    if (value) {
        auto *caps = new QDBusPendingCallWatcher(bus.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
        connect(caps, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
            w->deleteLater();
            const QDBusPendingReply<QStringList> reply = *w;
            bodyMarkup = !reply.isError() && reply.value().contains(QStringLiteral("body-markup"));
        });
    }
    if (changed)
        Q_EMIT supportChanged(value);
    if (!ready) {
        ready = true;
        Q_EMIT readyChanged();
    }
}

void Notifier::notify(const QString &title, const QString &text, uint replaces,
                      const std::function<void(uint)> &done)
{
    QDBusMessage message = call(QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("kov")},
                            {QStringLiteral("sound-name"), QStringLiteral("message-new-instant")}};
    // A reminder stays until it is clicked or dismissed (timeout 0).
    message << QStringLiteral("KOV") << replaces << QStringLiteral("kov") << title
            << (bodyMarkup ? text.toHtmlEscaped() : text)
            << QStringList{QStringLiteral("default"), tr("Show")} << hints << 0;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [done](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError())
            qWarning("KOV: the notification service refused a reminder: %s",
                     qPrintable(reply.error().message()));
        done(reply.isError() ? 0 : reply.value());
    });
}

void Notifier::close(uint id)
{
    QDBusMessage message = call(QStringLiteral("CloseNotification"));
    message << id;
    bus.asyncCall(message);
}

void Notifier::onActionInvoked(uint id, const QString &actionKey)
{
    Q_EMIT actionInvoked(id, actionKey);
}

void Notifier::onNotificationClosed(uint id, uint reason)
{
    Q_EMIT notificationClosed(id, reason);
}

} // namespace kov

// The desktop's notification service (org.freedesktop.Notifications on the
// session bus), spoken to without ever waiting for it: every call is
// asynchronous and its answer arrives as a signal or a callback.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

#include <functional>

namespace kov {

class Notifier : public QObject {
    Q_OBJECT
public:
    explicit Notifier(QObject *parent = nullptr);

    // A service runs on the session bus (or the bus can start one).
    bool isSupported() const { return supported; }
    // The first look at the bus has been answered.
    bool isReady() const { return ready; }

    // Shows a notification with a "default" action (a click on it), KOV's
    // desktop entry and the desktop's default sound. `replaces` is an earlier
    // notification of ours to replace, or 0. `done` gets the new id, or 0
    // when the service refused.
    void notify(const QString &title, const QString &text, uint replaces,
                const std::function<void(uint)> &done);
    void close(uint id);

Q_SIGNALS:
    void readyChanged();
    void supportChanged(bool supported);
    void actionInvoked(uint id, const QString &actionKey);
    void notificationClosed(uint id, uint reason);

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    void lookAtBus();
    void setSupported(bool value);

    QDBusConnection bus;
    bool supported = false;
    bool ready = false;
    bool bodyMarkup = false;
};

} // namespace kov

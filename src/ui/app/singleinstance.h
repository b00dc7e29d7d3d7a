// One KOV window per user: the first one holds a lock file and listens on a
// local socket, both in the user's runtime folder (never in the data folder);
// a later start hands its wish ("show", or a clicked reminder) to it and ends.
#pragma once

#include <QLockFile>
#include <QObject>

class QLocalServer;

namespace kov {

class MainWindow;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one: it now listens for messages.
    bool claim();
    // Hands `message` to the process holding `name`; false when none answers
    // within `waitMs`.
    static bool send(const QString &name, const QString &message, int waitMs);

Q_SIGNALS:
    void messageReceived(const QString &message);

private:
    QString name;
    QLockFile lock;
    QLocalServer *server = nullptr;
};

// Starts the window process's side: a message "show" brings the window to
// the front, "reminder <id>" also runs the click on that reminder. False
// when another KOV runs (it got `launchMessage`) and this one should end.
bool claimWindow(SingleInstance &instance, const QString &launchMessage);
void serveWindow(SingleInstance &instance, MainWindow &window);
void respondToLaunchMessage(MainWindow &window, const QString &message);

} // namespace kov

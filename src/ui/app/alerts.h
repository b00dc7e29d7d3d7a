// Every message KOV gives the user goes through here, so tests can read what
// was shown (and answer modal alerts) without clicking.
#pragma once

#include <functional>

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

namespace kov {

enum class AlertStyle { Warning = 0, Informational = 1, Critical = 2 };

// Result codes of runModalAlert.
inline constexpr int AlertFirstButtonReturn = 1000;
inline constexpr int AlertSecondButtonReturn = 1001;

struct AlertRecord {
    enum Kind { Sheet, Modal };
    Kind kind = Sheet;
    QPointer<QWidget> window; // the window a sheet alert is attached to
    AlertStyle style = AlertStyle::Warning;
    QString title;
    QString message;
    QStringList buttons;
    // What a sheet alert's second button does, if it has one.
    std::function<void()> action;
};

class AlertCenter : public QObject {
    Q_OBJECT
public:
    static AlertCenter *instance();

    // Tests answer modal alerts here instead of a person; unset, the alert
    // runs for real.
    std::function<int(const AlertRecord &)> modalAnswer;
    // Tests may keep sheet alerts from opening boxes; they are still recorded.
    bool showSheets = true;

    // Tests replace the desktop's opener of folders, documents and web pages.
    std::function<bool(const QUrl &)> urlOpener;

    void emitAlert(const AlertRecord &record) { Q_EMIT alertShown(record); }
    void emitBeep() { Q_EMIT beeped(); }

Q_SIGNALS:
    void alertShown(const kov::AlertRecord &record);
    void beeped();
};

// A window-modal alert with one "OK" button; returns at once while the alert
// stays up until the user dismisses it.
void doSheetAlert(QWidget *window, const QString &errorString, const QString &titleString);

// The same with a second button beside "OK" that runs `action` and leaves
// the alert up (open the folder a message names, and the like).
void doSheetAlertWithButton(QWidget *window, AlertStyle style, const QString &errorString,
                            const QString &titleString, const QString &button, std::function<void()> action);

// The messages more than one tab gives.
void noReportsSelectedErrorMsg(QWidget *window);
void noDataFoundErrorMsg(QWidget *window);

// An application-modal alert; blocks until a button is pressed and returns
// AlertFirstButtonReturn or AlertSecondButtonReturn.
int runModalAlert(AlertStyle style, const QString &title, const QString &message, const QString &firstButton,
                  const QString &secondButton = QString());

// A question before an action the user may not mean, window-modal on
// `window`: "Cancel" is the default button and answers Escape. True when
// `actionButton` was pressed. Tests answer it as a modal alert (buttons
// "Cancel", then `actionButton`).
bool confirmAction(QWidget *window, const QString &title, const QString &message,
                   const QString &actionButton);

// The system beep.
void beep();

// Opens a folder, document or web page in the desktop's default application.
bool openUrl(const QUrl &url);

} // namespace kov

#include "app/alerts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace kov {

AlertCenter *AlertCenter::instance()
{
    static AlertCenter center;
    return &center;
}

namespace {

// Alerts quote names and fetched texts; a name like "<b>Unit 2</b>" must
// show as typed, never as markup.
void showPlainText(QMessageBox *box)
{
    box->setTextFormat(Qt::PlainText);
    if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(Qt::PlainText);
}

// Sheet alerts wait their turn: one box at a time per window, the next when
// it is dismissed, and an alert equal to one showing or waiting is not
// repeated (a print run may raise the same alert for several reports).
class SheetQueue : public QObject {
public:
    static SheetQueue *of(QWidget *window)
    {
        QObject *owner = window ? static_cast<QObject *>(window) : AlertCenter::instance();
        for (QObject *child : owner->children())
            if (auto *queue = dynamic_cast<SheetQueue *>(child))
                return queue;
        return new SheetQueue(window, owner);
    }

    void post(const QString &title, const QString &message, const QString &extraButton = {},
              std::function<void()> action = {}, QMessageBox::Icon icon = QMessageBox::Warning)
    {
        const Alert alert{title, message, extraButton, std::move(action), icon};
        if ((box && showing == alert) || waiting.contains(alert))
            return;
        waiting.append(alert);
        if (!box)
            showNext();
    }

private:
    struct Alert {
        QString first, second, extraButton;
        std::function<void()> action;
        QMessageBox::Icon icon = QMessageBox::Warning;
        bool operator==(const Alert &o) const
        {
            return first == o.first && second == o.second && extraButton == o.extraButton;
        }
    };
    SheetQueue(QWidget *window, QObject *owner) : QObject(owner), window(window) {}

    void showNext()
    {
        if (waiting.isEmpty())
            return;
        showing = waiting.takeFirst();
        box = new QMessageBox(window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setIcon(showing.icon);
        box->setWindowTitle(QStringLiteral("KOV"));
        box->setText(showing.first);
        // Texts written with carriage returns read as line breaks.
        QString shown = showing.second;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
        box->setInformativeText(shown);
        showPlainText(box);
        QPushButton *ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        if (!showing.extraButton.isEmpty()) {
            // The extra button does its work and leaves the box up.
            QPushButton *extra = box->addButton(showing.extraButton, QMessageBox::ActionRole);
            extra->disconnect();
            connect(extra, &QPushButton::clicked, this, [action = showing.action] {
                if (action)
                    action();
            });
            box->setDefaultButton(ok);
        }
        // Paths and names in a message can be selected and copied.
        if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
            label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
        connect(
            box, &QMessageBox::finished, this,
            [this] {
                box = nullptr;
                showNext();
            },
            Qt::QueuedConnection);
        box->open();
    }

    QWidget *window;
    QPointer<QMessageBox> box;
    Alert showing;
    QList<Alert> waiting;
};

} // namespace

void doSheetAlert(QWidget *window, const QString &message, const QString &title)
{
    AlertRecord record;
    record.kind = AlertRecord::Sheet;
    record.window = window;
    record.style = AlertStyle::Warning;
    record.title = title;
    record.message = message;
    record.buttons = {QStringLiteral("OK")};
    AlertCenter *center = AlertCenter::instance();
    center->emitAlert(record);
    if (!center->showSheets)
        return;

    SheetQueue::of(window)->post(title, message);
}

void doSheetAlertWithButton(QWidget *window, AlertStyle style, const QString &message, const QString &title,
                            const QString &button, std::function<void()> action)
{
    AlertRecord record;
    record.kind = AlertRecord::Sheet;
    record.window = window;
    record.style = style;
    record.title = title;
    record.message = message;
    record.buttons = {QStringLiteral("OK"), button};
    record.action = action;
    AlertCenter *center = AlertCenter::instance();
    center->emitAlert(record);
    if (!center->showSheets)
        return;
    SheetQueue::of(window)->post(title, message, button, std::move(action),
                                 style == AlertStyle::Critical  ? QMessageBox::Critical
                                 : style == AlertStyle::Warning ? QMessageBox::Warning
                                                                : QMessageBox::Information);
}

int runModalAlert(AlertStyle style, const QString &title, const QString &message, const QString &firstButton,
                  const QString &secondButton)
{
    AlertRecord record;
    record.kind = AlertRecord::Modal;
    record.style = style;
    record.title = title;
    record.message = message;
    record.buttons = {firstButton};
    if (!secondButton.isNull())
        record.buttons.append(secondButton);
    AlertCenter *center = AlertCenter::instance();
    center->emitAlert(record);
    if (center->modalAnswer)
        return center->modalAnswer(record);

    QMessageBox box;
    box.setWindowTitle(QStringLiteral("KOV"));
    box.setIcon(style == AlertStyle::Critical  ? QMessageBox::Critical
                : style == AlertStyle::Warning ? QMessageBox::Warning
                                               : QMessageBox::Information);
    box.setText(title);
    box.setInformativeText(message);
    showPlainText(&box);
    QPushButton *first = box.addButton(firstButton, QMessageBox::AcceptRole);
    QPushButton *second = nullptr;
    if (!secondButton.isNull())
        second = box.addButton(secondButton, QMessageBox::RejectRole);
    box.setDefaultButton(first);
    box.exec();
    return (second && box.clickedButton() == second) ? AlertSecondButtonReturn : AlertFirstButtonReturn;
}

bool confirmAction(QWidget *window, const QString &title, const QString &message, const QString &actionButton)
{
    AlertRecord record;
    record.kind = AlertRecord::Modal;
    record.window = window;
    record.style = AlertStyle::Warning;
    record.title = title;
    record.message = message;
    const QString cancel = QCoreApplication::translate("KOV", "Cancel");
    record.buttons = {cancel, actionButton};
    AlertCenter *center = AlertCenter::instance();
    center->emitAlert(record);
    if (center->modalAnswer)
        return center->modalAnswer(record) == AlertSecondButtonReturn;

    QMessageBox box(window);
    box.setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    box.setWindowTitle(QStringLiteral("KOV"));
    box.setIcon(QMessageBox::Warning);
    box.setText(title);
    box.setInformativeText(message);
    showPlainText(&box);
    QPushButton *no = box.addButton(cancel, QMessageBox::RejectRole);
    QPushButton *yes = box.addButton(actionButton, QMessageBox::DestructiveRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void noReportsSelectedErrorMsg(QWidget *window)
{
    doSheetAlert(window, QCoreApplication::translate("KOV", "Use Checkboxes to select reports"),
                 QCoreApplication::translate("KOV", "No Reports Selected"));
}

void noDataFoundErrorMsg(QWidget *window)
{
    doSheetAlert(window, QCoreApplication::translate("KOV", "Adjusting the selection criteria might help."),
                 QCoreApplication::translate("KOV",
                                             "For one or more reports, no qualifying property maintenance "
                                             "found based on selection criteria"));
}

void beep()
{
    AlertCenter::instance()->emitBeep();
    QApplication::beep();
}

} // namespace kov

namespace kov {

bool openUrl(const QUrl &url)
{
    AlertCenter *center = AlertCenter::instance();
    if (center->urlOpener)
        return center->urlOpener(url);
    return QDesktopServices::openUrl(url);
}

} // namespace kov

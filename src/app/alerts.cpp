#include "app/alerts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

namespace kov {

AlertCenter *AlertCenter::instance()
{
    static AlertCenter center;
    return &center;
}

void showSheetAlert(QWidget *window, const QString &message, const QString &title)
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

    auto *box = new QMessageBox(window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(QStringLiteral("KOV"));
    box->setText(title);
    box->setInformativeText(message);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    box->open();
}

int runModalAlert(AlertStyle style, const QString &title, const QString &message,
                  const QString &firstButton, const QString &secondButton)
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
    box.setIcon(style == AlertStyle::Critical   ? QMessageBox::Critical
                : style == AlertStyle::Warning ? QMessageBox::Warning
                                               : QMessageBox::Information);
    box.setText(title);
    box.setInformativeText(message);
    QPushButton *first = box.addButton(firstButton, QMessageBox::AcceptRole);
    QPushButton *second = nullptr;
    if (!secondButton.isNull())
        second = box.addButton(secondButton, QMessageBox::RejectRole);
    box.setDefaultButton(first);
    box.exec();
    return (second && box.clickedButton() == second) ? AlertSecondButtonReturn : AlertFirstButtonReturn;
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

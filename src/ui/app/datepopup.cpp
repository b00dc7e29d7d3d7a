// The shared calendar popover: one calendar serves every date field; its
// "tag" property says which field it is editing.
#include <QAbstractButton>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QGuiApplication>
#include <QScreen>

#include "app/kovappdelegate.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"

namespace {

// Shows a popup beside the right-hand edge of its trigger, kept on screen.
void showBeside(QWidget *popup, QWidget *trigger)
{
    popup->adjustSize();
    QPoint pos = trigger ? trigger->mapToGlobal(QPoint(trigger->width(), 0)) : QCursor::pos();
    if (QScreen *screen = trigger ? trigger->screen() : QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        if (pos.x() + popup->width() > avail.right())
            pos.setX(std::max(avail.left(), pos.x() - popup->width() - (trigger ? trigger->width() : 0)));
        pos.setY(std::clamp(pos.y(), avail.top(), std::max(avail.top(), avail.bottom() - popup->height())));
    }
    popup->move(pos);
    popup->show();
}

} // namespace

// The ten triggers, in DateFieldTag order.
static QList<QPair<QAbstractButton *, QDateTimeEdit *>> dateTriggers(KOVAppDelegate *d)
{
    return {
        {d->ui->popOverTriggerTab1ServiceDate, d->ui->serviceDateTab1},
        {d->ui->popOverTriggerTab1BeginDate, d->ui->beginDateTab1},
        {d->ui->popOverTriggerTab1EndDate, d->ui->endDateTab1},
        {d->ui->popOverTriggerTab3BeginDate, d->ui->beginDateTab3},
        {d->ui->popOverTriggerTab3EndDate, d->ui->endDateTab3},
        {d->ui->popOverTriggerTab4BeginDate, d->ui->beginDateTab4},
        {d->ui->popOverTriggerTab4EndDate, d->ui->endDateTab4},
        {d->propertySheetUi->popOverTriggerPropSheetBuildDate, d->propertySheetUi->dateConstructedPropertySheet},
        {d->propertySheetUi->popOverTriggerPropSheetAcqDate, d->propertySheetUi->dateAcquiredPropertySheet},
        {d->propertySheetUi->popOverTriggerPropSheetDisDate, d->propertySheetUi->dateSoldPropertySheet},
    };
}

void KOVAppDelegate::togglePopOver(QAbstractButton *sender)
{
    if (sender && sender == ui->dropButton) {
        showBeside(receiptPopover, sender);
        return;
    }
    const auto triggers = dateTriggers(this);
    for (int tag = 0; tag < triggers.size(); ++tag) {
        if (triggers[tag].first != sender)
            continue;
        theDatePicker->setSelectedDate(triggers[tag].second->date());
        theDatePicker->setProperty("tag", tag);
        if (tag == 0)
            sender->setChecked(false);
        break;
    }
    // The popup belongs to the trigger's window, so it works over a sheet too.
    if (sender && thePopOver->parentWidget() != sender->window()) {
        thePopOver->setParent(sender->window(), Qt::Popup);
    }
    showBeside(thePopOver, sender);
    theDatePicker->setFocus();
}

void KOVAppDelegate::userPickedFromGraphicalDatePicker()
{
    bool ok = false;
    const int tag = theDatePicker->property("tag").toInt(&ok);
    const auto triggers = dateTriggers(this);
    if (!ok || tag < 0 || tag >= triggers.size()) {
        doSheetAlert(window, QStringLiteral("Failure in Graphical Date Picker"),
                     QStringLiteral("Please report to Tolvanderwerks"));
        return;
    }
    QDateTimeEdit *field = triggers[tag].second;
    // The day as picked, the field's own time of day kept.
    field->setDateTime(QDateTime(theDatePicker->selectedDate(), field->time()));
}

#include "app/datepopover.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QGuiApplication>
#include <QScreen>

#include "ui_datepopup.h"

namespace kov {

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

DatePopover::DatePopover(QWidget *window)
    : QObject(window), thePopOver(new QWidget(window, Qt::Popup)), form(new Ui::DatePopup)
{
    form->setupUi(thePopOver);
    connect(form->theDatePicker, &QCalendarWidget::clicked, this,
            [this] { userPickedFromGraphicalDatePicker(); });
    connect(form->theDatePicker, &QCalendarWidget::activated, this, [this] {
        userPickedFromGraphicalDatePicker();
        thePopOver->hide();
    });
}

DatePopover::~DatePopover()
{
    delete form;
}

void DatePopover::attach(QAbstractButton *trigger, QDateTimeEdit *field)
{
    connect(trigger, &QAbstractButton::clicked, this,
            [this, trigger, field] { togglePopOver(trigger, field); });
}

void DatePopover::togglePopOver(QAbstractButton *trigger, QDateTimeEdit *field)
{
    editing = field;
    form->theDatePicker->setSelectedDate(field->date());
    if (trigger->isCheckable())
        trigger->setChecked(false);
    // The popup belongs to the trigger's window, so it works over a sheet too.
    if (thePopOver->parentWidget() != trigger->window())
        thePopOver->setParent(trigger->window(), Qt::Popup);
    showBeside(thePopOver, trigger);
    form->theDatePicker->setFocus();
}

void DatePopover::userPickedFromGraphicalDatePicker()
{
    if (!editing)
        return;
    editing->setDateTime(QDateTime(form->theDatePicker->selectedDate(), editing->time()));
}

void DatePopover::hide()
{
    thePopOver->hide();
}

} // namespace kov

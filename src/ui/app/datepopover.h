// The one calendar popover that serves every date field, on the main window
// and on the sheets alike.
#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QCalendarWidget;
class QDateTimeEdit;
class QWidget;

namespace Ui {
class DatePopup;
}

namespace kov {

// Shows a popup beside the right-hand edge of its trigger, kept on screen.
void showBeside(QWidget *popup, QWidget *trigger);

class DatePopover : public QObject {
    Q_OBJECT
public:
    explicit DatePopover(QWidget *window);
    ~DatePopover() override;

    // Opens the calendar beside `trigger` on the day `field` holds.
    void togglePopOver(QAbstractButton *trigger, QDateTimeEdit *field);
    // The day picked goes to the field, the field's own time of day kept.
    void userPickedFromGraphicalDatePicker();
    // Every trigger opens the calendar for its field.
    void attach(QAbstractButton *trigger, QDateTimeEdit *field);
    void hide();

private:
    QWidget *thePopOver;
    Ui::DatePopup *form;
    QPointer<QDateTimeEdit> editing;
};

} // namespace kov

// Tab 2, maintenance due: Show lists when each recurring task is next due,
// every record or the latest per property and task, or only what is due now.
#pragma once

#include <QObject>

#include "log/selectionarea.h"
#include "storage/records.h"

class QAction;
class QMenu;
class QWidget;

namespace Ui {
class DueTab;
}

namespace kov {

class DataStore;
class Notifier;
class ReminderDelivery;
class RowTableModel;
struct ScheduledReminder;

class DueTab : public QObject {
    Q_OBJECT
public:
    explicit DueTab(DataStore *store, QObject *parent = nullptr);
    ~DueTab() override;

    QWidget *widget() const { return page; }
    const SelectionArea &selectionArea() const { return area; }
    const RecordList &rows() const { return maintDueArrayForTV; }

    void respondToShowBtnPane2();
    void buildBrowserArrayFromInitialPropTaskFilteredArray(const RecordList &records);
    // The latest row of each property/task pair, in propertyPopTab2's order.
    void buildTempArraysForFiltering();
    void overDueOnly();
    // The tag of the checked radio button of radioBtnTab2 (1, 2 or 3).
    int selectedTagTab2() const;
    // The filters refilled from the log, "All" chosen.
    void setPane2();

    // Reminders. The context menu's two items for the clicked row (-1: no
    // row); its command sends a reminder for that row.
    QMenu *contextMenu() const { return contextMenuTab2; }
    void menuNeedsUpdate(int row);
    void respondToContextMenuTab2(QAction *sender);
    // A click on a reminder: tab 2 in front on its property and task, Show,
    // and the reminder withdrawn.
    void respondToUserNotification(const ScheduledReminder &reminder);
    void respondToUserNotification(const QString &reminderId);
    // Start-up: delivers what is due and waits for the next.
    void startReminders();
    ReminderDelivery *reminderDelivery() const { return delivery; }

Q_SIGNALS:
    void countChanged(qsizetype count);

private:
    DataStore *store;
    QWidget *page;
    Ui::DueTab *ui;
    SelectionArea area;
    RowTableModel *modelTab2;
    QMenu *contextMenuTab2;
    Notifier *notifier;
    ReminderDelivery *delivery;
    int clickedRow = -1;
    RecordList maintDueArrayForTV;
};

} // namespace kov

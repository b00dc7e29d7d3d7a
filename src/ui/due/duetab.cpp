#include "due/duetab.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include "app/alerts.h"
#include "app/busycursor.h"
#include "app/datastore.h"
#include "due/duerules.h"
#include "due/notifier.h"
#include "due/reminderdelivery.h"
#include "due/reminderrules.h"
#include "storage/dates.h"
#include "log/rowtablemodel.h"
#include "storage/clock.h"
#include "ui_duetab.h"

namespace kov {

DueTab::DueTab(DataStore *dataStore, QObject *parent)
    : QObject(parent), store(dataStore), page(new QWidget), ui(new Ui::DueTab)
{
    ui->setupUi(page);
    area = {nullptr, nullptr, ui->propertyPopTab2, ui->serTaskPopTab2, ui->showBtnTab2};
    modelTab2 = new RowTableModel(&maintDueArrayForTV,
                                  {{col::property2, tr("Property")},
                                   {col::task2, tr("Task")},
                                   {col::lastdate, tr("Last Done")},
                                   {col::nextdate, tr("Next Due")}},
                                  this);
    QTableView *table = ui->tableViewTab2;
    table->setModel(modelTab2);
    table->setSortingEnabled(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    contextMenuTab2 = new QMenu(table);
    contextMenuTab2->setObjectName(QStringLiteral("contextMenuTab2"));
    contextMenuTab2->addAction(QString())->setEnabled(false);
    contextMenuTab2->addAction(tr("Send Reminder"));
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint &pos) {
        menuNeedsUpdate(table->indexAt(pos).row());
        contextMenuTab2->popup(table->viewport()->mapToGlobal(pos));
    });
    connect(contextMenuTab2, &QMenu::triggered, this, &DueTab::respondToContextMenuTab2);

    notifier = new Notifier(this);
    delivery = new ReminderDelivery(notifier, this);
    connect(delivery, &ReminderDelivery::clicked, this,
            [this](const ScheduledReminder &r) { respondToUserNotification(r); });
    connect(delivery, &ReminderDelivery::problem, this,
            [this](const QString &text) { doSheetAlert(page->window(), text, tr("Reminders")); });

    connect(ui->showBtnTab2, &QPushButton::clicked, this, [this] { respondToShowBtnPane2(); });
    area.followStore(this, store, true);
}

DueTab::~DueTab()
{
    delete ui;
    if (!page->parent())
        delete page;
}

void DueTab::setPane2()
{
    area.resetFromLog(store->records(PropertyHistoryFileForKOV));
}

int DueTab::selectedTagTab2() const
{
    const QList<QAbstractButton *> buttons = ui->radioBtnTab2->findChildren<QAbstractButton *>();
    for (const QAbstractButton *button : buttons)
        if (button->isChecked())
            return button->property("tag").toInt();
    return 0;
}

void DueTab::respondToShowBtnPane2()
{
    const BusyCursor busy;
    QWidget *window = page->window();
    const RecordList history = store->records(PropertyHistoryFileForKOV);
    if (history.isEmpty()) {
        doSheetAlert(window, tr("There is no property maintenance history to show"), QString());
        return;
    }
    const DueMode mode = dueModeFromTag(selectedTagTab2());
    if (ui->propertyPopTab2->currentIndex() < 0 || ui->propertyPopTab2->currentText().isEmpty())
        doSheetAlert(window, tr("No Property Selected. Please select a property. "), QString());
    if (ui->serTaskPopTab2->currentIndex() < 0 || ui->serTaskPopTab2->currentText().isEmpty())
        doSheetAlert(window, tr("No Task Selected. Please choose a task"), QString());

    buildBrowserArrayFromInitialPropTaskFilteredArray(copyDueRecords(history, area.copyPredicateString()));
    if (mode == DueMode::Latest || mode == DueMode::Overdue)
        buildTempArraysForFiltering();
    if (mode == DueMode::Overdue)
        overDueOnly();

    modelTab2->reload();
    Q_EMIT countChanged(maintDueArrayForTV.size());
}

void DueTab::buildBrowserArrayFromInitialPropTaskFilteredArray(const RecordList &records)
{
    QStringList badUnitTasks;
    maintDueArrayForTV = buildDueItems(records, store->records(ServiceTaskFileForKOV), &badUnitTasks);
    // One bad task must not cost the whole list: it is listed as never due,
    // and the user hears of it once per Show.
    if (!badUnitTasks.isEmpty())
        runModalAlert(AlertStyle::Informational, tr("Function ConvertToDays() used default."),
                      tr("This is an error. Notify Developer."), QStringLiteral("OK"));
}

void DueTab::buildTempArraysForFiltering()
{
    QStringList titles;
    for (int i = 0; i < ui->propertyPopTab2->count(); ++i)
        titles.append(ui->propertyPopTab2->itemText(i));
    maintDueArrayForTV = latestPerPropertyTask(maintDueArrayForTV, titles);
}

void DueTab::overDueOnly()
{
    kov::overDueOnly(maintDueArrayForTV, Clock::now());
}

// ---------------------------------------------------------------------------
// Reminders

void DueTab::menuNeedsUpdate(int row)
{
    clickedRow = row < maintDueArrayForTV.size() ? row : -1;
    const QDateTime next =
        clickedRow < 0 ? QDateTime() : maintDueArrayForTV.at(clickedRow).value(col::nextdate).toDateTime();
    const ReminderMenuState state = reminderMenuState(clickedRow, next, Clock::now(), notifier->isSupported(),
                                                      NSDateUtilities::mediumStyleFromDate(next));
    const QList<QAction *> items = contextMenuTab2->actions();
    items[0]->setText(state.infoTitle);
    if (!state.keepInfoEnabled)
        items[0]->setEnabled(state.infoEnabled);
    if (!state.commandTitle.isEmpty())
        items[1]->setText(state.commandTitle);
    items[1]->setEnabled(state.commandEnabled);
}

void DueTab::respondToContextMenuTab2(QAction *sender)
{
    if (contextMenuTab2->actions().indexOf(sender) != 1 || !notifier->isSupported() || clickedRow < 0 ||
        clickedRow >= maintDueArrayForTV.size())
        return;
    const Record &row = maintDueArrayForTV.at(clickedRow);
    const QDateTime next = row.value(col::nextdate).toDateTime();
    if (isNeverDue(next))
        return;
    doSheetAlert(page->window(),
                 tr("When the reminder appears in Notification Center, click on it to open KOV and dismiss it"),
                 tr("Reminder Scheduled for:") + QStringLiteral("  ") + NSDateUtilities::mediumStyleFromDate(next));
    QString problemText;
    const ScheduledReminder added = ReminderSchedule::add(
        tr("Maintenance Reminder"),
        reminderInformativeText(row.value(col::task2).toString(), row.value(col::property2).toString()),
        reminderDeliveryDate(next), &problemText);
    if (!problemText.isEmpty())
        doSheetAlert(page->window(), problemText, tr("Reminders"));
    if (added.id.isEmpty())
        return;
    installReminderTimer();
    delivery->deliverDue();
}

void DueTab::respondToUserNotification(const QString &reminderId)
{
    const QList<ScheduledReminder> reminders = ReminderSchedule::load();
    for (const ScheduledReminder &r : reminders)
        if (r.id == reminderId)
            return respondToUserNotification(r);
}

void DueTab::respondToUserNotification(const ScheduledReminder &reminder)
{
    if (const auto target = parseReminderText(reminder.text)) {
        setPane2();
        for (QWidget *w = page->parentWidget(); w; w = w->parentWidget()) {
            if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
                tabs->setCurrentWidget(page);
                break;
            }
        }
        ui->propertyPopTab2->setCurrentIndex(ui->propertyPopTab2->findText(target->property, Qt::MatchExactly));
        ui->serTaskPopTab2->setCurrentIndex(ui->serTaskPopTab2->findText(target->task, Qt::MatchExactly));
        respondToShowBtnPane2();
    }
    delivery->withdraw(reminder.id);
}

void DueTab::startReminders()
{
    if (notifier->isReady())
        delivery->deliverDue();
    else
        connect(notifier, &Notifier::readyChanged, delivery, &ReminderDelivery::deliverDue,
                Qt::SingleShotConnection);
}

} // namespace kov

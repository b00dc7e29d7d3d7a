#include "due/duetab.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include "app/alerts.h"
#include "app/busycursor.h"
#include "app/datastore.h"
#include "due/duerules.h"
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

} // namespace kov

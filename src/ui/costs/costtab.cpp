#include "costs/costtab.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/alerts.h"
#include "app/busycursor.h"
#include "app/datastore.h"
#include "app/datepopover.h"
#include "costs/costcalc.h"
#include "costs/costchart.h"
#include "log/costrules.h"
#include "log/numericfields.h"
#include "ui_costtab.h"

namespace kov {

CostTab::CostTab(DataStore *dataStore, DatePopover *datePopover, QObject *parent)
    : QObject(parent), store(dataStore), page(new QWidget), ui(new Ui::CostTab)
{
    ui->setupUi(page);
    area = {ui->beginDateTab3, ui->endDateTab3, ui->propertyPopTab3, ui->serTaskPopTab3, ui->showBtnTab3};
    costChartTab3 = new CostChart(ui->costChartTab3);
    costChartTab3->setAccessibleName(tr("Costs per month"));
    costChartTab3->setObjectName(QStringLiteral("costChart"));
    ui->costChartLayoutTab3->addWidget(costChartTab3);
    area.setDateDefaultsWithBeginDate();

    connect(ui->showBtnTab3, &QPushButton::clicked, this, [this] { respondToShowBtnPane3(); });
    area.followStore(this, store, true);
    datePopover->attach(ui->popOverTriggerTab3BeginDate, ui->beginDateTab3);
    datePopover->attach(ui->popOverTriggerTab3EndDate, ui->endDateTab3);
}

CostTab::~CostTab()
{
    delete ui;
    if (!page->parent())
        delete page;
}

void CostTab::setPane3()
{
    area.resetFromLog(store->records(PropertyHistoryFileForKOV));
}

void CostTab::respondToShowBtnPane3()
{
    const BusyCursor busy;
    // A refused date range has shown its alert; every field stays.
    const std::optional<RecordList> records =
        area.copyArrayAndCheckDates(store->records(PropertyHistoryFileForKOV), page->window());
    if (!records)
        return;
    if (records->isEmpty()) {
        noDataFoundErrorMsg(page->window());
        return;
    }
    const QDateTime begin = ui->beginDateTab3->dateTime();
    const QDateTime end = ui->endDateTab3->dateTime();
    const CostFigures f = calcCostFigures(*records, begin, end);
    // Doubles rather than single precision: a float loses the cents of
    // totals above $167,772.16.
    const struct {
        double total, average;
        QLineEdit *totalField, *averageField;
    } rows[] = {{f.total, f.avgTotal, ui->totalCostTab3, ui->avgMonthlyCostTab3},
                {f.parts, f.avgParts, ui->totalPartsCostTab3, ui->avgMonthlyPartsCostTab3},
                {f.labor, f.avgLabor, ui->totalLaborCostTab3, ui->avgMonthlyLaborCostTab3},
                {f.tax, f.avgTax, ui->totalTaxCostTab3, ui->avgMonthlyTaxCostTab3}};
    for (const auto &row : rows) {
        formatNbrFldSetTextFld(row.total, row.totalField, pattern::moneyWithZero);
        formatNbrFldSetTextFld(row.average, row.averageField, pattern::moneyWithZero);
    }
    ui->howManyDBRecords->setText(tr("Costs based on") + QStringLiteral(" %1 ").arg(f.records) +
                                  tr("qualifying maintenance records"));
    costChartTab3->setMonths(costsPerMonth(*records, begin, end));
}

} // namespace kov

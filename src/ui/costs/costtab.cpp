// Tab 3: Show totals and averages the costs of the selected records and
// charts them per calendar month.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/kovappdelegate.h"
#include "costs/costcalc.h"
#include "costs/costchart.h"
#include "log/costrules.h"
#include "log/logfilter.h"
#include "ui_mainwindow.h"

using namespace kov;

void KOVAppDelegate::connectTab3()
{
    costChartTab3 = new CostChart(ui->costChartTab3);
    costChartTab3->setObjectName(QStringLiteral("costChart"));
    ui->costChartLayoutTab3->addWidget(costChartTab3);
    connect(ui->showBtnTab3, &QPushButton::clicked, this, [this] { respondToShowBtnPane3(); });
}

void KOVAppDelegate::respondToShowBtnPane3()
{
    // A refused date range has shown its alert; every field stays.
    const std::optional<RecordList> records =
        copyArrayAndCheckDates(ui->beginDateTab3, ui->endDateTab3, ui->propertyPopTab3, ui->serTaskPopTab3);
    if (!records)
        return;
    if (records->isEmpty()) {
        noDataFoundErrorMsg();
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

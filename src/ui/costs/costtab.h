// Tab 3, cost analysis: Show totals and averages the costs of the selected
// records and charts them per calendar month.
#pragma once

#include <QObject>

#include "log/selectionarea.h"

class QWidget;

namespace Ui {
class CostTab;
}

namespace kov {

class CostChart;
class DataStore;
class DatePopover;

class CostTab : public QObject {
    Q_OBJECT
public:
    CostTab(DataStore *store, DatePopover *datePopover, QObject *parent = nullptr);
    ~CostTab() override;

    QWidget *widget() const { return page; }
    const SelectionArea &selectionArea() const { return area; }
    // The monthly chart below the figures.
    CostChart *chart() const { return costChartTab3; }

    void respondToShowBtnPane3();
    // The filters refilled from the log, "All" chosen.
    void setPane3();

private:
    DataStore *store;
    QWidget *page;
    Ui::CostTab *ui;
    SelectionArea area;
    CostChart *costChartTab3;
};

} // namespace kov

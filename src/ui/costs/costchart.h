// The monthly cost chart of tab 3: parts, labor and tax of the qualifying
// records stacked per calendar month, amounts in the locale's currency.
#pragma once

#include <QList>
#include <QWidget>

#include "costs/costcalc.h"

namespace kov {

class CostChart : public QWidget {
    Q_OBJECT
public:
    explicit CostChart(QWidget *parent = nullptr);

    // The months to draw (costsPerMonth); an empty list, or months without
    // any cost, shows the empty state.
    void setMonths(const QList<MonthCosts> &months);
    // Back to the blank chart of a tab not yet shown.
    void clear();

    const QList<MonthCosts> &months() const { return monthList; }
    bool isShown() const { return shown; }
    bool isEmptyState() const;

    // The month under a point of the widget, or -1.
    int monthAt(const QPoint &pos) const;
    // The hover text of a month: its name and its three amounts and total.
    QString toolTipForMonth(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The colours of the three parts of a bar.
    static QColor partsColor();
    static QColor laborColor();
    static QColor taxColor();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Scale {
        double low = 0, high = 1, step = 1;
    };
    struct Geometry {
        QRect plot;
        Scale scale;
        double slot = 0;
        int labelStep = 1;
    };
    Geometry geometry() const;
    Scale valueScale() const;
    QString tickText(double value, double step) const;
    void rebuildLabels();

    QList<MonthCosts> monthList;
    QStringList shortLabels;
    bool shown = false;
    int hovered = -1;
};

} // namespace kov

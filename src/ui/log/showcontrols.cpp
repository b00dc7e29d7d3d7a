// The selection areas' enabled state and the count line at the foot of the
// main window.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QPushButton>

#include "app/kovappdelegate.h"
#include "log/rowtablemodel.h"
#include "ui_mainwindow.h"

void KOVAppDelegate::enableDisableShow(QDateTimeEdit *beginDate, QDateTimeEdit *endDate, QComboBox *propPop,
                                       QComboBox *taskPop, QPushButton *showBtn, bool enable)
{
    if (beginDate)
        beginDate->setEnabled(enable);
    if (endDate)
        endDate->setEnabled(enable);
    propPop->setEnabled(enable);
    taskPop->setEnabled(enable);
    showBtn->setEnabled(enable);
}

void KOVAppDelegate::putCountOnContent(qsizetype count, int pane)
{
    if (pane == 0 || pane == 1)
        ui->contentCount->setText(QStringLiteral("%1%2%3").arg(tr("Display Count"), QStringLiteral(": ")).arg(count));
    else
        ui->contentCount->setText(QString());
}

void KOVAppDelegate::reloadTableViewTab1()
{
    modelTab1->reload();
}

// The selection area every tab has: a property filter and its task partner
// (the names the log uses, ending in "All"), the begin and end dates where
// the tab has them, and the button that acts on the choice.
#pragma once

#include <optional>

#include <QStringList>

#include "log/logfilter.h"
#include "storage/records.h"

class QComboBox;
class QObject;
class QDateTimeEdit;
class QPushButton;
class QWidget;

namespace kov {

class DataStore;

// Fills a pop-up with the names in the locale's order, each once, then
// optionally a separator and "Maintain Item List…", a separator and "All".
void loadThisPopupButton(QComboBox *popup, const QStringList &names, bool sepAddDel, bool sepAll);
// The last item ("All" or "Maintain Item List…") is chosen.
bool lastItemChosen(const QComboBox *popup);
// Selects the item of exactly that title; false when there is none.
bool selectExactTitle(QComboBox *popup, const QString &title);
// False, after the date alert on `window`, when the begin is after the end.
bool areBeginEndDatesOK(QWidget *window, const QDateTime &beginDate, const QDateTime &endDate);

struct SelectionArea {
    QDateTimeEdit *beginDate = nullptr; // none on the due tab
    QDateTimeEdit *endDate = nullptr;
    QComboBox *propPop = nullptr;
    QComboBox *taskPop = nullptr;
    QPushButton *showBtn = nullptr;

    void enableDisableShow(bool enable) const;
    // The task partner filled with the tasks logged for the chosen property.
    void propertyPopUpSelected(const RecordList &history) const;
    // Both filters refilled from the log, "All" chosen in each; without
    // `refillTasks` the task partner keeps its items.
    void resetFromLog(const RecordList &history, bool refillTasks = true) const;
    // The property filter refills its task partner from the store's log
    // when chosen; with `resetOnWrites`, the whole area is reset from the log
    // whenever the store writes the log or a list, as at start-up.
    void followStore(QObject *context, DataStore *store, bool resetOnWrites) const;
    // The dates: this year's start to now.
    void setDateDefaultsWithBeginDate() const;
    // Here "All" is known by its title.
    LogFilter copyPredicateString(const QDateTime &bDate, const QDateTime &eDate) const;
    // Here "All" is known by its place: the last item.
    LogFilter copyPredicateString() const;
    // The log filtered by the choice, dates included; none when the dates
    // are out of order (the date alert has then been shown on `window`).
    std::optional<RecordList> copyArrayAndCheckDates(const RecordList &history, QWidget *window) const;
};

} // namespace kov

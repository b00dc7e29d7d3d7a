#include "log/selectionarea.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QPushButton>

#include "app/alerts.h"
#include "app/datastore.h"
#include "storage/clock.h"
#include "storage/dates.h"
#include "storage/sorting.h"

namespace kov {

namespace {

// lupdate files the texts of this free tr() under the namespace, "kov".
QString tr(const char *text)
{
    return QCoreApplication::translate("kov", text);
}

// Titles stay unique: a title already present leaves its old place and
// takes the new one, so a name equal to the closing item merges with it.
void addUniqueItem(QComboBox *popup, const QString &title)
{
    for (int i = popup->count() - 1; i >= 0; --i) {
        const bool separator =
            popup->itemData(i, Qt::AccessibleDescriptionRole).toString() == QLatin1String("separator");
        if (!separator && popup->itemText(i) == title)
            popup->removeItem(i);
    }
    popup->addItem(title);
}

// The property names of a log, or the task names of its records with a
// property (the one chosen, or any), as the filters list them. After a write every tab's filter
// asks the same of the same log, so the answers for the last log asked
// about are kept. The memo holds that log, so its records can neither
// change nor go while the answers stand: a changed log is another list.
QStringList logNames(const RecordList &history, const QString &key, const NameChoice &property = {})
{
    struct Memo {
        RecordList log;
        QHash<QString, QStringList> names;
    };
    static Memo memo;
    if (memo.log.constData() != history.constData() || memo.log.size() != history.size()) {
        memo.log = history;
        memo.names.clear();
    }
    const bool tasks = key == ServiceTaskNameKey;
    const QString question =
        tasks ? (property ? QLatin1Char('=') + *property : QStringLiteral("*")) : QString();
    const auto known = memo.names.constFind(question);
    if (known != memo.names.cend())
        return *known;
    const QStringList names =
        distinctNames(tasks ? copyAllTasksForOneProperty(history, property) : history, key);
    memo.names.insert(question, names);
    return names;
}

} // namespace

void loadThisPopupButton(QComboBox *popup, const QStringList &names, bool sepAddDel, bool sepAll)
{
    popup->clear();
    QStringList sorted = names;
    sortArray(sorted);
    for (const QString &name : sorted)
        addUniqueItem(popup, name);
    if (sepAddDel) {
        popup->insertSeparator(popup->count());
        addUniqueItem(popup, tr("Maintain Item List\u2026"));
    }
    if (sepAll) {
        popup->insertSeparator(popup->count());
        addUniqueItem(popup, tr("All"));
    }
}

bool lastItemChosen(const QComboBox *popup)
{
    return popup->count() > 0 && popup->currentIndex() == popup->count() - 1;
}

bool selectExactTitle(QComboBox *popup, const QString &title)
{
    const int index = popup->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        popup->setCurrentIndex(index);
    return index >= 0;
}

bool areBeginEndDatesOK(QWidget *window, const QDateTime &beginDate, const QDateTime &endDate)
{
    if (areBeginEndDatesOK(beginDate, endDate))
        return true;
    doSheetAlert(window, tr("Begin Date must be prior to or equal to End Date. Please adjust dates"),
                 tr("Date Input Error"));
    return false;
}

void SelectionArea::enableDisableShow(bool enable) const
{
    if (beginDate)
        beginDate->setEnabled(enable);
    if (endDate)
        endDate->setEnabled(enable);
    propPop->setEnabled(enable);
    taskPop->setEnabled(enable);
    showBtn->setEnabled(enable);
}

void SelectionArea::propertyPopUpSelected(const RecordList &history) const
{
    const NameChoice property = lastItemChosen(propPop) ? NameChoice() : NameChoice(propPop->currentText());
    const QStringList tasks = logNames(history, ServiceTaskNameKey, property);
    loadThisPopupButton(taskPop, tasks, false, true);
    taskPop->setCurrentIndex(taskPop->count() - 1);
}

void SelectionArea::resetFromLog(const RecordList &history, bool refillTasks) const
{
    loadThisPopupButton(propPop, logNames(history, PropertyNameKey), false, true);
    propPop->setCurrentIndex(propPop->count() - 1);
    if (refillTasks)
        propertyPopUpSelected(history);
}

void SelectionArea::followStore(QObject *context, DataStore *store, bool resetOnWrites) const
{
    const SelectionArea area = *this;
    QObject::connect(propPop, &QComboBox::activated, context, [area, store] {
        area.propertyPopUpSelected(store->records(PropertyHistoryFileForKOV));
    });
    if (!resetOnWrites)
        return;
    const auto reset = [area, store] { area.resetFromLog(store->records(PropertyHistoryFileForKOV)); };
    QObject::connect(store, &DataStore::historyChanged, context, reset);
    QObject::connect(store, &DataStore::listChanged, context, reset);
}

void SelectionArea::setDateDefaultsWithBeginDate() const
{
    endDate->setDateTime(Clock::now().toLocalTime());
    beginDate->setDateTime(startOfCurrentYearLocal().toLocalTime());
}

LogFilter SelectionArea::copyPredicateString(const QDateTime &bDate, const QDateTime &eDate) const
{
    const QString all = QCoreApplication::translate("kov", "All"); // the pop-ups' own text
    auto choice = [&all](const QComboBox *popup) {
        const QString title = popup->currentText();
        return title == all ? NameChoice() : NameChoice(title);
    };
    return LogFilter{choice(propPop), choice(taskPop), bDate, eDate};
}

LogFilter SelectionArea::copyPredicateString() const
{
    auto choice = [](const QComboBox *popup) {
        return lastItemChosen(popup) ? NameChoice() : NameChoice(popup->currentText());
    };
    return LogFilter{choice(propPop), choice(taskPop), std::nullopt, std::nullopt};
}

std::optional<RecordList> SelectionArea::copyArrayAndCheckDates(const RecordList &history,
                                                                QWidget *window) const
{
    // As the controls hold them, time of day included.
    const QDateTime b = beginDate->dateTime().toUTC();
    const QDateTime e = endDate->dateTime().toUTC();
    if (!areBeginEndDatesOK(window, b, e))
        return std::nullopt;
    return copyFilteredLog(history, copyPredicateString(b, e));
}

} // namespace kov

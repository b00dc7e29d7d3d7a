// Operations that start-up already calls but whose subsystems are not built
// yet. Each one does nothing, on purpose, and moves to its subsystem's file
// when that subsystem is built.
#include "app/kovappdelegate.h"

// Fills the tab-1 entry and filter pop-ups (tab-1 pop-ups).
void KOVAppDelegate::setPopupsStartingItem(const kov::RecordList &, const kov::RecordList &,
                                           const kov::RecordList &)
{
}

// Removes empty entries from the history at start-up (tab-1 entry).
void KOVAppDelegate::cleanMaintHistOfNilObjects(kov::RecordList &)
{
}

// Builds the table rows from data-file records (tab-1 list).
void KOVAppDelegate::populateTableViewArrayFromFileArray(const kov::RecordList &, kov::RecordList &tableViewArray)
{
    tableViewArray.clear();
}

// Tabs and panes.
void KOVAppDelegate::tabViewDidSelectTabViewItem(int)
{
}

void KOVAppDelegate::setPane2()
{
}

void KOVAppDelegate::setPane3()
{
}

void KOVAppDelegate::setPane4()
{
}

// Reminders.
void KOVAppDelegate::respondToUserNotification(const QString &)
{
}

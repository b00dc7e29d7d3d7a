// Operations that start-up already calls but whose subsystems are not built
// yet. Each one does nothing, or only the least the window needs, and moves
// to its subsystem's file when that subsystem is built.
#include <QComboBox>

#include "app/kovappdelegate.h"
#include "storage/datafiles.h"
#include "storage/sorting.h"
#include "ui_mainwindow.h"

using namespace kov;

// ---------------------------------------------------------------------------
// Receipts: the form remembers the location; the views come with receipts.
void KOVAppDelegate::setImageFilePathURL(const QUrl &url)
{
    imageFilePathURL = url;
}

void KOVAppDelegate::buildImageViewAndSetWithURL(const QUrl &) {}

void KOVAppDelegate::removeAction()
{
    imageFilePathURL = QUrl();
}

// Reminders.
void KOVAppDelegate::respondToUserNotification(const QString &) {}

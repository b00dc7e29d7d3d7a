#include "app/feedback.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "app/alerts.h"
#include "storage/datafiles.h"

namespace kov {

namespace {

struct Feedback {
    Q_DECLARE_TR_FUNCTIONS(Feedback)
};

// Where the thing is, as the user would type or paste it.
QString placeOf(const QUrl &url)
{
    return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
}

} // namespace

bool openOrTellWhere(QWidget *window, const QUrl &url)
{
    if (openUrl(url))
        return true;
    const QString place = placeOf(url);
    QString title;
    if (!url.isLocalFile())
        title = Feedback::tr("No program on this computer opened the web page.");
    else if (QFileInfo(url.toLocalFile()).isDir())
        title = Feedback::tr("No file manager on this computer opened the folder.");
    else
        title = Feedback::tr("No program on this computer opened the document.");
    doSheetAlert(window, Feedback::tr("You find it at %1").arg(place), title);
    return false;
}

void tellDocumentsMade(QWidget *window, const QStringList &paths, bool opened)
{
    if (paths.isEmpty())
        return;
    const QString folder = QFileInfo(paths.first()).absolutePath();
    QStringList names;
    for (const QString &path : paths)
        names.append(QStringLiteral("\u2022 ") + QFileInfo(path).fileName());
    QString message = names.join(QLatin1Char('\n')) + QStringLiteral("\n\n") +
                      Feedback::tr("Folder: %1").arg(QDir::toNativeSeparators(folder));
    if (!opened)
        message += QStringLiteral("\n\n") +
                   Feedback::tr("No program for PDF documents opened them here; open them from that folder.");
    const QString title = paths.size() == 1 ? Feedback::tr("KOV saved the report as a PDF document.")
                                            : Feedback::tr("KOV saved the reports as PDF documents.");
    doSheetAlertWithButton(window, AlertStyle::Informational, message, title, Feedback::tr("Open Folder"),
                           [window, folder] { openOrTellWhere(window, QUrl::fromLocalFile(folder)); });
}

void showAbout(QWidget *window)
{
    const QString folder = QDir::toNativeSeparators(dataFolderPath());
    const QString message = Feedback::tr("Keeps track of the upkeep of your houses and other real estate.") +
                            QStringLiteral("\n\n") + Feedback::tr("Data folder: %1").arg(folder) +
                            QLatin1Char('\n') + Feedback::tr("Licence: %1").arg(QStringLiteral(KOV_LICENSE)) +
                            QStringLiteral("\n\n") + QStringLiteral("\u00A9 Tolvanderwerks");
    doSheetAlertWithButton(window, AlertStyle::Informational, message,
                           Feedback::tr("KOV %1").arg(QCoreApplication::applicationVersion()),
                           Feedback::tr("Show Data Folder"),
                           [window] { openOrTellWhere(window, QUrl::fromLocalFile(copyDataFolderURL())); });
}

} // namespace kov

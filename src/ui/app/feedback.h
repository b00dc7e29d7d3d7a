// What KOV tells the user when it hands something to the desktop: the
// documents a Print made and where they are, and where a folder, document
// or web page is when no program opened it.
#pragma once

#include <QStringList>
#include <QUrl>

class QWidget;

namespace kov {

// Opens the URL; when nothing on the desktop opens it, tells on `window`
// where it is (the path of a file or folder, the address of a web page).
bool openOrTellWhere(QWidget *window, const QUrl &url);

// After a Print: names the documents and their folder, with a button that
// opens the folder. `opened` is false when the desktop opened none of them.
void tellDocumentsMade(QWidget *window, const QStringList &paths, bool opened);

// Help ▸ About KOV: the version, the data folder and the licence.
void showAbout(QWidget *window);

} // namespace kov

// Helpers the window tests share: alerts recorded rather than shown, a
// throw-away data folder with a pinned clock, and a started window.
#pragma once

#include <functional>
#include <memory>

#include <QComboBox>
#include <QCoreApplication>
#include <QList>
#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/alerts.h"
#include "app/mainwindow.h"
#include "storage/clock.h"
#include "storage/datafiles.h"

Q_DECLARE_METATYPE(kov::AlertRecord)

namespace kov::test {

// Once per test program: the application's names (they place QSettings)
// and every alert appended to `alerts` while `context` lives.
inline void setUpWindowTests(QObject *context, QList<AlertRecord> &alerts)
{
    qRegisterMetaType<kov::AlertRecord>();
    QObject::connect(AlertCenter::instance(), &AlertCenter::alertShown, context,
                     [&alerts](const AlertRecord &r) { alerts.append(r); });
    QCoreApplication::setOrganizationName(QStringLiteral("Tolvanderwerks"));
    QCoreApplication::setApplicationName(QStringLiteral("KOV"));
}

// Before each test: data files in `dir`, no stored settings, alerts
// recorded without a sheet, and "now" pinned.
inline void beginWindowTest(const QTemporaryDir &dir, const QDateTime &now)
{
    setDataFolderOverride(dir.filePath(QStringLiteral("Tolvanderwerks")));
    QSettings().clear();
    AlertCenter::instance()->showSheets = false;
    Clock::setFixed(now);
}

// After each test: every seam back as the application has it.
inline void endWindowTest()
{
    Clock::setFixed(QDateTime());
    AlertCenter::instance()->showSheets = true;
    AlertCenter::instance()->modalAnswer = nullptr;
    AlertCenter::instance()->urlOpener = nullptr;
    setDataFolderOverride(QString());
}

// A launched window at a size that shows every control; `prepare` (a pane
// to choose, say) runs before it is waited on.
inline std::unique_ptr<MainWindow> startWindow(const std::function<void(MainWindow *)> &prepare = {})
{
    auto w = std::make_unique<MainWindow>();
    w->applicationDidFinishLaunching();
    w->resize(1200, 800);
    if (prepare)
        prepare(w.get());
    if (!QTest::qWaitForWindowExposed(w.get()))
        qWarning("window not exposed");
    return w;
}

// A widget of a form by its objectName; fails the test when there is none.
template <typename W = QWidget> W *child(const QObject *parent, QAnyStringView name)
{
    W *w = parent->findChild<W *>(name.toString());
    if (!w)
        qFatal("no widget named %s", qPrintable(name.toString()));
    return w;
}

// A pop-up's items as a person reads them, a separator as "---".
inline QStringList popupItems(const QComboBox *popup)
{
    QStringList out;
    for (int i = 0; i < popup->count(); ++i) {
        const bool separator =
            popup->itemData(i, Qt::AccessibleDescriptionRole).toString() == QLatin1String("separator");
        out.append(separator ? QStringLiteral("---") : popup->itemText(i));
    }
    return out;
}

// A person's choice in a pop-up: the item, then the action.
inline void chooseItem(QComboBox *popup, const QString &text)
{
    const int i = popup->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(i >= 0, qPrintable(text));
    popup->setCurrentIndex(i);
    Q_EMIT popup->activated(i);
}

} // namespace kov::test

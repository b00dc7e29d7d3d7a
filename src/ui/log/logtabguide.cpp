#include "log/logtabguide.h"

#include <QAbstractItemView>
#include <QBoxLayout>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace kov {

namespace {

// A list pop-up holds its names, a separator and "Maintain Item List…";
// with only the last two the list is empty.
bool listIsEmpty(const QComboBox *popup)
{
    return popup->count() <= 2;
}

} // namespace

LogTabGuide::LogTabGuide(QWidget *page)
    : QObject(page), page(page), property(page->findChild<QComboBox *>(QStringLiteral("propertyPopTab1"))),
      provider(page->findChild<QComboBox *>(QStringLiteral("providerPopTab1"))),
      add(page->findChild<QPushButton *>(QStringLiteral("addMaintBtn"))),
      change(page->findChild<QPushButton *>(QStringLiteral("changeBtnTab1")))
{
    line = new QLabel(page);
    line->setObjectName(QStringLiteral("firstRunLineTab1"));
    line->setWordWrap(true);
    line->setText(
        tr("To begin, add a property and a provider: choose \u201CMaintain Item List\u2026\u201D in "
           "their pop-ups below."));
    line->setForegroundRole(QPalette::Link);
    line->hide();
    if (auto *layout = qobject_cast<QBoxLayout *>(page->layout()))
        layout->insertWidget(0, line);

    for (QComboBox *popup : {property, provider}) {
        auto queue = [this] {
            if (updateQueued)
                return;
            updateQueued = true;
            // After the pop-up's own handlers: choosing "Maintain Item
            // List…" must still open the sheet.
            QTimer::singleShot(0, this, [this] {
                updateQueued = false;
                update();
            });
        };
        connect(popup->model(), &QAbstractItemModel::rowsInserted, this, queue);
        connect(popup->model(), &QAbstractItemModel::rowsRemoved, this, queue);
        connect(popup->model(), &QAbstractItemModel::modelReset, this, queue);
        connect(popup, &QComboBox::currentIndexChanged, this, queue);
    }
    property->setPlaceholderText(tr("No properties yet"));
    provider->setPlaceholderText(tr("No providers yet"));

    // Return anywhere in the entry form presses the default button.
    if (QWidget *form = page->findChild<QWidget *>(QStringLiteral("entryGroupTab1"))) {
        for (QWidget *w : form->findChildren<QWidget *>())
            if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) ||
                qobject_cast<QDateTimeEdit *>(w))
                w->installEventFilter(this);
    }
    change->installEventFilter(this);
    add->setAutoDefault(false);
    change->setAutoDefault(false);

    // Controls without a label of their own.
    if (auto *table = page->findChild<QTableView *>(QStringLiteral("tableViewTab1")))
        if (table->accessibleName().isEmpty())
            table->setAccessibleName(tr("Maintenance log"));
    if (auto *total = page->findChild<QLineEdit *>(QStringLiteral("totalCostTab1")))
        if (total->accessibleName().isEmpty())
            total->setAccessibleName(tr("Total cost"));
    update();
}

QPushButton *LogTabGuide::defaultButton() const
{
    return change->isEnabled() ? change : add;
}

void LogTabGuide::showEmpty(QComboBox *popup)
{
    if (listIsEmpty(popup) && popup->currentIndex() == popup->count() - 1)
        popup->setCurrentIndex(-1);
}

void LogTabGuide::update()
{
    showEmpty(property);
    showEmpty(provider);
    line->setVisible(listIsEmpty(property) || listIsEmpty(provider));
    add->setDefault(!change->isEnabled());
    change->setDefault(change->isEnabled());
}

bool LogTabGuide::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == change) {
        if (event->type() == QEvent::EnabledChange)
            update();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    // An open pop-up list takes its own Return.
    if (auto *popup = qobject_cast<QComboBox *>(watched); popup && popup->view()->isVisible())
        return false;
    QPushButton *button = defaultButton();
    if (!button->isEnabled())
        return false;
    button->click();
    return true;
}

} // namespace kov

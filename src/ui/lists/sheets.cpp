// The property, provider and task sheets: opened from the tab-1 entry
// pop-ups, shown window-modal over the main window, their tables filled
// from the data files, an entry loaded into the fields by a double click.
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "app/kovappdelegate.h"
#include "lists/listrules.h"
#include "log/costrules.h"
#include "log/rowtablemodel.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "storage/dates.h"
#include "storage/rtfd.h"
#include "storage/sorting.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"
#include "ui_providersheet.h"
#include "ui_tasksheet.h"

using namespace kov;

namespace {

// Selects the item of that exact title. A title this sheet does not offer
// (written by another language or version) is added, so a Change keeps it.
void selectTitle(QComboBox *popup, const QString &title)
{
    int index = popup->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        popup->addItem(title);
        index = popup->count() - 1;
    }
    popup->setCurrentIndex(index);
}

QDateTime todayCleansed()
{
    return NSDateUtilities::cleanseDate(Clock::now()).toLocalTime();
}

} // namespace

void KOVAppDelegate::connectSheets()
{
    for (QPushButton *close : {propertySheetUi->closeBtnPropertySheet, providerSheetUi->closeBtnProviderSheet,
                               taskSheetUi->closeBtnTaskSheet})
        connect(close, &QPushButton::clicked, this, [this, close] { sheetCloseBtnPressed(close); });

    for (QTableView *table : {propertySheetUi->tableViewPropertySheet, providerSheetUi->tableViewProviderSheet})
        connect(table, &QTableView::doubleClicked, this, [this, table](const QModelIndex &index) {
            respondToTableViewDblClickDriver(table, index.row());
        });
    QTableView *taskTable = taskSheetUi->tableViewTaskSheet;
    connect(taskTable, &QTableView::doubleClicked, this, [this, taskTable](const QModelIndex &index) {
        respondToTableViewDblClickOnTaskSheet(taskTable, index.row());
    });

    for (QPushButton *add : {propertySheetUi->addBtnPropertySheet, providerSheetUi->addBtnProviderSheet,
                             taskSheetUi->addBtnTaskSheet})
        connect(add, &QPushButton::clicked, this, [this, add] { doAddFromSheet(add); });
    for (QPushButton *change : {propertySheetUi->changeBtnPropertySheet,
                                providerSheetUi->changeBtnProviderSheet, taskSheetUi->changeBtnTaskSheet})
        connect(change, &QPushButton::clicked, this, [this, change] { changeBtnOnSheetPressed(change); });
    for (QPushButton *del : {propertySheetUi->deleteBtnPropertySheet, providerSheetUi->deleteBtnProviderSheet,
                             taskSheetUi->deleteBtnTaskSheet})
        connect(del, &QPushButton::clicked, this, [this, del] { doDeleteDriver(del); });

    // The description's bold, italic and underline. The keys act in the
    // editor itself, at once (a button's own shortcut only animates a click).
    QTextEdit *desc = taskSheetUi->taskDescTaskSheet;
    desc->setAcceptRichText(true);
    const auto styleButton = [this, desc](QToolButton *button, const QKeySequence &keys,
                                          void (*apply)(QTextCharFormat &, bool)) {
        button->setShortcut(QKeySequence());
        connect(button, &QToolButton::clicked, this, [desc, apply](bool on) {
            QTextCharFormat format;
            apply(format, on);
            desc->mergeCurrentCharFormat(format);
            desc->setFocus();
        });
        auto *shortcut = new QShortcut(keys, desc);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, button, &QToolButton::click);
    };
    styleButton(taskSheetUi->boldBtnTaskSheet, QKeySequence::Bold,
                [](QTextCharFormat &f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    styleButton(taskSheetUi->italicBtnTaskSheet, QKeySequence::Italic,
                [](QTextCharFormat &f, bool on) { f.setFontItalic(on); });
    styleButton(taskSheetUi->underlineBtnTaskSheet, QKeySequence::Underline,
                [](QTextCharFormat &f, bool on) { f.setFontUnderline(on); });
    connect(desc, &QTextEdit::currentCharFormatChanged, this, [this] { updateTaskSheetFormatButtons(); });
    connect(desc, &QTextEdit::cursorPositionChanged, this, [this] { updateTaskSheetFormatButtons(); });

    // Names and descriptions get the room; short columns fit their text.
    const auto columnWidths = [](QTableView *table, std::initializer_list<QHeaderView::ResizeMode> modes) {
        QHeaderView *header = table->horizontalHeader();
        header->setStretchLastSection(false);
        int c = 0;
        for (QHeaderView::ResizeMode mode : modes)
            header->setSectionResizeMode(c++, mode);
    };
    columnWidths(propertySheetUi->tableViewPropertySheet, {QHeaderView::Stretch, QHeaderView::Stretch,
                                                           QHeaderView::Stretch, QHeaderView::ResizeToContents,
                                                           QHeaderView::ResizeToContents});
    columnWidths(providerSheetUi->tableViewProviderSheet,
                 {QHeaderView::Stretch, QHeaderView::Stretch, QHeaderView::ResizeToContents, QHeaderView::Stretch});
    columnWidths(taskSheetUi->tableViewTaskSheet,
                 {QHeaderView::Interactive, QHeaderView::Stretch, QHeaderView::ResizeToContents});
    taskSheetUi->tableViewTaskSheet->horizontalHeader()->resizeSection(0, 200);

    for (QDialog *sheet : {thePropertySheet, theProviderSheet, theTaskSheet})
        setChange(sheet == thePropertySheet   ? propertySheetUi->changeBtnPropertySheet
                  : sheet == theProviderSheet ? providerSheetUi->changeBtnProviderSheet
                                              : taskSheetUi->changeBtnTaskSheet,
                  sheet == thePropertySheet   ? propertySheetUi->deleteBtnPropertySheet
                  : sheet == theProviderSheet ? providerSheetUi->deleteBtnProviderSheet
                                              : taskSheetUi->deleteBtnTaskSheet,
                  false);
    cleanPropertySheet();
}

void KOVAppDelegate::updateTaskSheetFormatButtons()
{
    const QTextCharFormat format = taskSheetUi->taskDescTaskSheet->currentCharFormat();
    taskSheetUi->boldBtnTaskSheet->setChecked(format.fontWeight() > QFont::Medium);
    taskSheetUi->italicBtnTaskSheet->setChecked(format.fontItalic());
    taskSheetUi->underlineBtnTaskSheet->setChecked(format.fontUnderline());
}

// ---------------------------------------------------------------------------
// Opening and closing

void KOVAppDelegate::showOneSheet(QComboBox *popup, const RecordList &sortedRecords)
{
    QDialog *sheet = nullptr;
    RecordList *rows = nullptr;
    RowTableModel *model = nullptr;
    QPushButton *change = nullptr;
    QPushButton *del = nullptr;
    if (popup == ui->propertyPopTab1) {
        sheet = thePropertySheet;
        rows = &propertyArrayForTV;
        model = modelPropertySheet;
        change = propertySheetUi->changeBtnPropertySheet;
        del = propertySheetUi->deleteBtnPropertySheet;
        const QDateTime now = Clock::now().toLocalTime();
        propertySheetUi->dateAcquiredPropertySheet->setDateTime(now);
        propertySheetUi->dateSoldPropertySheet->setDateTime(now);
        propertySheetUi->dateConstructedPropertySheet->setDateTime(now);
    } else if (popup == ui->providerPopTab1) {
        sheet = theProviderSheet;
        rows = &providerArrayForTV;
        model = modelProviderSheet;
        change = providerSheetUi->changeBtnProviderSheet;
        del = providerSheetUi->deleteBtnProviderSheet;
    } else if (popup == ui->serTaskPopTab1) {
        sheet = theTaskSheet;
        rows = &taskArrayForTV;
        model = modelTaskSheet;
        change = taskSheetUi->changeBtnTaskSheet;
        del = taskSheetUi->deleteBtnTaskSheet;
    } else {
        doSheetAlert(window, tr("Error in showOneSheet:"), tr("value for whichPopup not found"));
        QCoreApplication::exit(0);
        return;
    }
    populateTableViewArrayFromFileArray(sortedRecords, *rows);
    model->reload();
    setChange(change, del, false);
    // Shown once the pop-up has finished with its own choice.
    QTimer::singleShot(0, sheet, [this, sheet] { displaySheet(sheet); });
    if (sheet == theTaskSheet) {
        // The desktop's own text size, which matches the Mac's small system
        // size in use; the styles are the text's own and stay.
        const QFont font = QApplication::font(taskSheetUi->taskDescTaskSheet);
        taskSheetUi->taskDescTaskSheet->setFont(font);
        taskSheetUi->taskDescTaskSheet->document()->setDefaultFont(font);
    }
}

void KOVAppDelegate::displaySheet(QDialog *sheet)
{
    if (!sheet || sheet->isVisible())
        return;
    // Document-modal: the main window takes no input while the sheet is up.
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
    sheet->raise();
    sheet->activateWindow();
}

void KOVAppDelegate::sheetCloseBtnPressed(QObject *sender)
{
    auto *widget = qobject_cast<QWidget *>(sender);
    if (!widget)
        return;
    auto *sheet = qobject_cast<QDialog *>(widget->window());
    if (sheet == thePropertySheet || sheet == theProviderSheet || sheet == theTaskSheet) {
        thePopOver->hide();
        sheet->done(0);
    }
}

// ---------------------------------------------------------------------------
// Rows

void KOVAppDelegate::populateTaskSheetArray(const RecordList &fileArray, RecordList &tvArray)
{
    for (const Record &record : fileArray)
        tvArray.append(taskSheetRow(record));
}

void KOVAppDelegate::populatePropertySheetArray(const RecordList &fileArray, RecordList &tvArray)
{
    for (const Record &record : fileArray)
        tvArray.append(propertySheetRow(record));
}

void KOVAppDelegate::populateProviderSheetArray(const RecordList &fileArray, RecordList &tvArray)
{
    for (const Record &record : fileArray)
        tvArray.append(providerSheetRow(record));
}

// ---------------------------------------------------------------------------
// Emptying

void KOVAppDelegate::cleanTaskSheet()
{
    taskSheetUi->taskNameTaskSheet->setText(QString());
    taskSheetUi->recurTimeIntervalTaskSheet->setText(QString());
    taskSheetUi->taskDescTaskSheet->clear();
    // clear() keeps the last character format; the next text starts plain.
    taskSheetUi->taskDescTaskSheet->setCurrentCharFormat(QTextCharFormat());
    updateTaskSheetFormatButtons();
}

void KOVAppDelegate::cleanProviderSheet()
{
    for (QLineEdit *field :
         {providerSheetUi->providerNameProviderSheet, providerSheetUi->providerAddrProviderSheet,
          providerSheetUi->providerEmailProviderSheet, providerSheetUi->providerWebPageProviderSheet,
          providerSheetUi->providerPhoneProviderSheet, providerSheetUi->providerNoteProviderSheet})
        field->setText(QString());
}

void KOVAppDelegate::cleanPropertySheet()
{
    Ui::PropertySheet *p = propertySheetUi;
    for (QLineEdit *field : {p->propertyNamePropertySheet, p->propertyAddrPropertySheet,
                             p->propertyCityPropertySheet, p->propertyStatePropetySheet,
                             p->propertyZIPPropertySheet, p->propertyPurchaseCostPropertySheet,
                             p->propertySaleCostPropertySheet, p->propertyLotSizePropertySheet,
                             p->propertyInteriorSizePropertySheet, p->propertyNotePropertySheet})
        field->setText(QString());
    const QDateTime today = todayCleansed();
    for (QDateTimeEdit *date :
         {p->dateAcquiredPropertySheet, p->dateSoldPropertySheet, p->dateConstructedPropertySheet}) {
        date->setDateTime(today);
        date->setEnabled(false);
    }
    p->popOverTriggerPropSheetAcqDate->setEnabled(false);
    p->popOverTriggerPropSheetDisDate->setEnabled(false);
    // The date built can still be picked.
    p->popOverTriggerPropSheetBuildDate->setEnabled(true);
    for (QComboBox *popup : {p->propertyAcquisitionPropertySheet, p->propertyStatusPropertySheet})
        popup->setCurrentIndex(popup->findText(QString(), Qt::MatchExactly));
}

// ---------------------------------------------------------------------------
// Double click

void KOVAppDelegate::respondToTableViewDblClickDriver(QObject *table, int clickedRow)
{
    if (table == providerSheetUi->tableViewProviderSheet)
        respondToTVDblClickOnPropOrProviderSheet(
            providerSheetUi->tableViewProviderSheet, clickedRow, providerArrayForTV, col::provname,
            ProviderFileForKOV, ProviderNameKey, providerSheetUi->deleteBtnProviderSheet,
            providerSheetUi->changeBtnProviderSheet);
    else if (table == propertySheetUi->tableViewPropertySheet)
        respondToTVDblClickOnPropOrProviderSheet(
            propertySheetUi->tableViewPropertySheet, clickedRow, propertyArrayForTV, col::propname,
            PropertyFileForKOV, PropertyNameKey, propertySheetUi->deleteBtnPropertySheet,
            propertySheetUi->changeBtnPropertySheet);
}

void KOVAppDelegate::respondToTVDblClickOnPropOrProviderSheet(QWidget *table, int clickedRow,
                                                              const RecordList &tableViewArray,
                                                              const QString &columnPropName,
                                                              const QString &fileName, const QString &keyForName,
                                                              QPushButton *delButton, QPushButton *changeButton)
{
    if (clickedRow < 0 || clickedRow >= tableViewArray.size())
        return;
    const QString name = tableViewArray.at(clickedRow).value(columnPropName).toString();
    const std::optional<Record> record = copyDictContainingTitle(name, keyForName, copyDataFileArray(fileName));
    if (record) {
        if (fileName == ProviderFileForKOV)
            fillProviderSheetFromItemInTableView(*record);
        else
            fillPropertySheetFromItemInTableView(*record);
    } else {
        doSheetAlert(table->window(), tr("failed to find corresponding name data in file array"),
                     tr("In respondToTVDblClickOnPropOrProviderSheet:(KOVAppDelegate)"));
    }
    setChange(changeButton, delButton, true);
}

void KOVAppDelegate::respondToTableViewDblClickOnTaskSheet(QWidget *table, int clickedRow)
{
    if (clickedRow < 0 || clickedRow >= taskArrayForTV.size())
        return;
    const QString name = taskArrayForTV.at(clickedRow).value(col::taskname).toString();
    const std::optional<Record> task =
        copyDictContainingTitle(name, ServiceTaskNameKey, copyDataFileArray(ServiceTaskFileForKOV));
    if (task) {
        taskSheetUi->taskNameTaskSheet->setText(name);
        QTextEdit *desc = taskSheetUi->taskDescTaskSheet;
        readRichText(task->value(ServiceTaskDescriptionKey).toByteArray(), desc->document());
        desc->moveCursor(QTextCursor::Start);
        updateTaskSheetFormatButtons();
        const QVariant count = task->value(ServiceTaskTimeInUnitsKey);
        taskSheetUi->recurTimeIntervalTaskSheet->setText(
            count.isValid() ? QString::number(count.toLongLong()) : QString());
        // A unit code this sheet cannot show reads as the first unit, never
        // as no selection (which Add would store).
        bool ok = false;
        int unit = task->value(ServiceTaskTimeUnits).toInt(&ok);
        if (!ok || unit < 0 || unit >= taskSheetUi->daysMonthsYearsOnTaskSheet->count())
            unit = 0;
        taskSheetUi->daysMonthsYearsOnTaskSheet->setCurrentIndex(unit);
    } else {
        doSheetAlert(table->window(), tr("failed to find corresponding task data in file array"),
                     tr("In respondToTableViewDblClickOnTaskSheet:(KOVAppDelegate)"));
    }
    setChange(taskSheetUi->changeBtnTaskSheet, taskSheetUi->deleteBtnTaskSheet, true);
}

// ---------------------------------------------------------------------------
// Filling

void KOVAppDelegate::fillProviderSheetFromItemInTableView(const Record &provider)
{
    Ui::ProviderSheet *p = providerSheetUi;
    p->providerNameProviderSheet->setText(provider.value(ProviderNameKey).toString());
    p->providerAddrProviderSheet->setText(provider.value(ProviderAddressKey).toString());
    p->providerNoteProviderSheet->setText(provider.value(ProviderNoteKey).toString());
    p->providerEmailProviderSheet->setText(provider.value(ProviderEmailKey).toString());
    p->providerPhoneProviderSheet->setText(provider.value(ProviderPhoneKey).toString());
    p->providerWebPageProviderSheet->setText(provider.value(ProviderWebPageKey).toString());
}

void KOVAppDelegate::fillPropertySheetFromItemInTableView(const Record &property)
{
    cleanPropertySheet();
    Ui::PropertySheet *p = propertySheetUi;
    const auto text = [&property](QLineEdit *field, const QString &key) {
        if (property.contains(key))
            field->setText(property.value(key).toString());
    };
    // A price switches its date on, as typing one does.
    const auto money = [this, &property](QLineEdit *field, const QString &key, QDateTimeEdit *date,
                                         QToolButton *trigger) {
        if (!property.contains(key))
            return;
        trigger->setEnabled(true);
        date->setEnabled(true);
        formatNbrFldSetTextFld(property.value(key).toDouble(), field, pattern::money);
    };
    const auto date = [&property](QDateTimeEdit *field, const QString &key, QToolButton *trigger) {
        if (!property.contains(key))
            return;
        trigger->setEnabled(true);
        field->setDateTime(property.value(key).toDateTime().toLocalTime());
        field->setEnabled(true);
    };
    const auto popup = [&property](QComboBox *field, const QString &key) {
        if (property.contains(key))
            selectTitle(field, property.value(key).toString());
    };
    // Tags 1 to 15, in order.
    text(p->propertyNamePropertySheet, PropertyNameKey);
    text(p->propertyAddrPropertySheet, PropertyAddressKey);
    text(p->propertyCityPropertySheet, PropertyCityKey);
    text(p->propertyStatePropetySheet, PropertyStateKey);
    text(p->propertyZIPPropertySheet, PropertyZipKey);
    money(p->propertyPurchaseCostPropertySheet, PropertyPurchaseCostKey, p->dateAcquiredPropertySheet,
          p->popOverTriggerPropSheetAcqDate);
    date(p->dateAcquiredPropertySheet, PropertyPurchaseDateKey, p->popOverTriggerPropSheetAcqDate);
    money(p->propertySaleCostPropertySheet, PropertySaleCostKey, p->dateSoldPropertySheet,
          p->popOverTriggerPropSheetDisDate);
    date(p->dateSoldPropertySheet, PropertySaleDateKey, p->popOverTriggerPropSheetDisDate);
    date(p->dateConstructedPropertySheet, PropertyConstDateKey, p->popOverTriggerPropSheetBuildDate);
    popup(p->propertyAcquisitionPropertySheet, PropertyPurchaseMethodKey);
    popup(p->propertyStatusPropertySheet, PropertyCurrentStatusKey);
    text(p->propertyLotSizePropertySheet, PropertyLotSizeKey);
    text(p->propertyInteriorSizePropertySheet, PropertyIntSizeKey);
    text(p->propertyNotePropertySheet, PropertyNoteKey);
}

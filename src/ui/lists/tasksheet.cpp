#include "lists/tasksheet.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QShortcut>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QToolButton>

#include "lists/listrules.h"
#include "log/numericfields.h"
#include "log/rowtablemodel.h"
#include "storage/rtfd.h"
#include "ui_tasksheet.h"

namespace kov {

TaskSheet::TaskSheet(DataStore *store, DatePopover *datePopover, QWidget *window, QObject *parent)
    : ReferenceSheet(store, datePopover, window, ServiceTaskFileForKOV, parent), ui(new Ui::TaskSheet)
{
    ui->setupUi(sheet());
    connectParts(
        {ui->tableViewTaskSheet, ui->taskNameTaskSheet, ui->addBtnTaskSheet, ui->changeBtnTaskSheet,
         ui->deleteBtnTaskSheet, ui->closeBtnTaskSheet, col::taskname},
        {{col::taskname, tr("Task")}, {col::taskdesc, tr("Description")}, {col::timeindays, tr("Interval")}});
    QHeaderView *header = ui->tableViewTaskSheet->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Interactive);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    header->resizeSection(0, 200);

    QLineEdit *interval = ui->recurTimeIntervalTaskSheet;
    connect(interval, &QLineEdit::textEdited, this, [interval] { integerFieldsValidation(interval); });

    // The description's bold, italic and underline. The keys act in the
    // editor itself, at once (a button's own shortcut only animates a click).
    QTextEdit *desc = ui->taskDescTaskSheet;
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
    styleButton(ui->boldBtnTaskSheet, QKeySequence::Bold,
                [](QTextCharFormat &f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    styleButton(ui->italicBtnTaskSheet, QKeySequence::Italic,
                [](QTextCharFormat &f, bool on) { f.setFontItalic(on); });
    styleButton(ui->underlineBtnTaskSheet, QKeySequence::Underline,
                [](QTextCharFormat &f, bool on) { f.setFontUnderline(on); });
    connect(desc, &QTextEdit::currentCharFormatChanged, this, [this] { updateTaskSheetFormatButtons(); });
    connect(desc, &QTextEdit::cursorPositionChanged, this, [this] { updateTaskSheetFormatButtons(); });
}

TaskSheet::~TaskSheet()
{
    delete ui;
}

void TaskSheet::prepareToShow()
{
    // The desktop's own text size; the styles are the text's own and stay.
    const QFont font = QApplication::font(ui->taskDescTaskSheet);
    ui->taskDescTaskSheet->setFont(font);
    ui->taskDescTaskSheet->document()->setDefaultFont(font);
}

void TaskSheet::updateTaskSheetFormatButtons()
{
    const QTextCharFormat format = ui->taskDescTaskSheet->currentCharFormat();
    ui->boldBtnTaskSheet->setChecked(format.fontWeight() > QFont::Medium);
    ui->italicBtnTaskSheet->setChecked(format.fontItalic());
    ui->underlineBtnTaskSheet->setChecked(format.fontUnderline());
}

void TaskSheet::cleanTaskSheet()
{
    ui->taskNameTaskSheet->setText(QString());
    ui->recurTimeIntervalTaskSheet->setText(QString());
    ui->taskDescTaskSheet->clear();
    // clear() keeps the last character format; the next text starts plain.
    ui->taskDescTaskSheet->setCurrentCharFormat(QTextCharFormat());
    updateTaskSheetFormatButtons();
}

std::optional<Record> TaskSheet::recordFromSheet()
{
    const QString name = ui->taskNameTaskSheet->text();
    const QString description = ui->taskDescTaskSheet->toPlainText();
    const int unit = std::max(0, ui->daysMonthsYearsOnTaskSheet->currentIndex());
    switch (checkTaskEntry(name, description, unit, ui->recurTimeIntervalTaskSheet->text())) {
    case TaskEntryCheck::dataMissing:
        refuse(tr("Task Data Missing"),
               tr("Task Name and Task Description must be entered, please try again.  Thank you"));
        return std::nullopt;
    case TaskEntryCheck::intervalMissing:
        refuse(tr("No Time Interval entered( or was zero )"),
               tr("Time Interval required for Months, Days or Years. Please enter it. Thank you"));
        return std::nullopt;
    case TaskEntryCheck::ok:
        break;
    }
    // A task without recurrence keeps no count.
    if (unit == UnitNone)
        ui->recurTimeIntervalTaskSheet->setText(QString());
    return taskRecordFromValues(name, rtfdFromDocument(*ui->taskDescTaskSheet->document()), unit,
                                ui->recurTimeIntervalTaskSheet->text());
}

void TaskSheet::fillSheetFromItemInTableView(const Record &task)
{
    ui->taskNameTaskSheet->setText(task.value(ServiceTaskNameKey).toString());
    QTextEdit *desc = ui->taskDescTaskSheet;
    readRichText(task.value(ServiceTaskDescriptionKey).toByteArray(), desc->document());
    desc->moveCursor(QTextCursor::Start);
    updateTaskSheetFormatButtons();
    const QVariant count = task.value(ServiceTaskTimeInUnitsKey);
    ui->recurTimeIntervalTaskSheet->setText(count.isValid() ? QString::number(count.toLongLong())
                                                            : QString());
    // A unit code this sheet cannot show reads as the first unit, never as no
    // selection (which Add would store).
    bool ok = false;
    int unit = task.value(ServiceTaskTimeUnits).toInt(&ok);
    if (!ok || unit < 0 || unit >= ui->daysMonthsYearsOnTaskSheet->count())
        unit = 0;
    ui->daysMonthsYearsOnTaskSheet->setCurrentIndex(unit);
}

Record TaskSheet::sheetRow(const Record &task) const
{
    return taskSheetRow(task);
}

QString TaskSheet::duplicateTitle() const
{
    return tr("Duplicate Service Task Name - not added");
}

const QStringList &TaskSheet::knownKeys() const
{
    return serviceTaskRecordKeys();
}

} // namespace kov

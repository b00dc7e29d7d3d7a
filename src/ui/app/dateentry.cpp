#include "app/dateentry.h"

#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

#include "app/alerts.h"
#include "storage/clock.h"

namespace kov {

QDate readTypedDate(const QString &typed, const QString &format)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {};
    const QLocale locale;
    QDate date = locale.toDate(text, format);
    if (!date.isValid() && format.contains(QLatin1String("yyyy"))) {
        QString shortYear = format;
        shortYear.replace(QLatin1String("yyyy"), QLatin1String("yy"));
        date = locale.toDate(text, shortYear);
        if (date.isValid()) {
            // Within 80 years before this one and 20 after.
            const int thisYear = Clock::now().toLocalTime().date().year();
            int year = thisYear - thisYear % 100 + date.year() % 100;
            if (year > thisYear + 20)
                year -= 100;
            else if (year <= thisYear - 80)
                year += 100;
            date = QDate(year, date.month(), date.day());
        }
    }
    if (!date.isValid())
        date = QDate::fromString(text, Qt::ISODate);
    return date;
}

namespace {

bool isSectionCharacter(QChar c)
{
    return c.isLetterOrNumber();
}

class TypedDateEntry : public QObject {
public:
    explicit TypedDateEntry(QDateTimeEdit *dateField) : QObject(dateField), field(dateField)
    {
        entry = new QLineEdit(field);
        entry->setObjectName(QStringLiteral("typedDate"));
        entry->setFrame(false);
        entry->hide();
        // Tab from the entry goes where Tab from the field goes.
        QWidget::setTabOrder(field, entry);
        field->installEventFilter(this);
        entry->installEventFilter(this);
        connect(field, &QDateTimeEdit::dateTimeChanged, this, [this] { mark(false); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == field && event->type() == QEvent::KeyPress)
            return fieldKey(static_cast<QKeyEvent *>(event));
        if (watched != entry)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (commit())
                    field->setFocus(Qt::OtherFocusReason);
                return true;
            case Qt::Key_Escape:
                close();
                field->setFocus(Qt::OtherFocusReason);
                return true;
            default:
                return false;
            }
        }
        if (event->type() == QEvent::FocusOut && entry->isVisible()) {
            // A pop-up or another window taking the focus for a while is no
            // end of the typing.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !commit())
                close();
        }
        return false;
    }

private:
    bool fieldKey(QKeyEvent *key)
    {
        if (entry->isVisible()) {
            // Keys sent to the field while the entry is up belong to it.
            QCoreApplication::sendEvent(entry, key);
            return true;
        }
        const QString text = key->text();
        if (field->isReadOnly() || text.isEmpty() || !text.at(0).isPrint() ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        open(text);
        return true;
    }

    void open(const QString &typed)
    {
        QLineEdit *inner = field->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
        original = field->text();
        qsizetype from = 0;
        if (inner && inner->selectedText().size() < original.size()) {
            // From the start of the section the cursor (or selection) is in.
            from = inner->hasSelectedText() ? inner->selectionStart() : inner->cursorPosition();
            while (from > 0 && isSectionCharacter(original.at(from - 1)))
                --from;
        }
        prefixLength = from;
        entry->setGeometry(inner ? inner->geometry() : field->rect());
        entry->setFont(field->font());
        entry->setAlignment(inner ? inner->alignment() : Qt::AlignLeft);
        entry->setText(original.left(from) + typed);
        entry->show();
        entry->raise();
        entry->setFocus(Qt::OtherFocusReason);
        entry->end(false);
    }

    // The date of the text, where sections not typed keep their value: the
    // text as typed, else completed by the original's sections after the
    // last one typed.
    QDate typedDate() const
    {
        const QString text = entry->text();
        const QString format = field->displayFormat();
        QDate date = readTypedDate(text, format);
        for (qsizetype i = prefixLength; !date.isValid() && i < original.size(); ++i)
            if (!isSectionCharacter(original.at(i)) && (i == 0 || isSectionCharacter(original.at(i - 1))))
                date = readTypedDate(text + original.mid(i), format);
        return date;
    }

    bool commit()
    {
        const QDate date = typedDate();
        if (!date.isValid() || date < field->minimumDate() || date > field->maximumDate()) {
            mark(true);
            entry->selectAll();
            beep();
            return false;
        }
        entry->hide();
        field->setDate(date);
        mark(false);
        return true;
    }

    void close() { entry->hide(); }

    void mark(bool refused)
    {
        if (field->property(refusedDateProperty).toBool() == refused)
            return;
        field->setProperty(refusedDateProperty, refused);
        const QString style = refused ? QStringLiteral("background: #ffd4d4;") : QString();
        field->setStyleSheet(refused ? QStringLiteral("QDateTimeEdit { background: #ffd4d4; }") : QString());
        entry->setStyleSheet(style);
        field->setToolTip(
            refused ? QCoreApplication::translate("KOV", "Not a date: \u201C%1\u201D").arg(entry->text())
                    : QString());
    }

    QDateTimeEdit *field;
    QLineEdit *entry;
    QString original;
    qsizetype prefixLength = 0;
};

} // namespace

void enableTypedDates(QDateTimeEdit *field)
{
    new TypedDateEntry(field);
}

} // namespace kov

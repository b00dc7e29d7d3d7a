#include "cli/clioutput.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "storage/clock.h"
#include "storage/datafiles.h"
#include "storage/dates.h"

namespace kov::cli {

std::optional<OutputFormat> parseFormat(const QString &name)
{
    if (name == QLatin1String("text"))
        return OutputFormat::Text;
    if (name == QLatin1String("csv"))
        return OutputFormat::Csv;
    if (name == QLatin1String("json"))
        return OutputFormat::Json;
    return std::nullopt;
}

std::optional<QDateTime> parseDateOption(const QString &text, RangeEdge edge)
{
    static const QRegularExpression dateOnly(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QRegularExpressionMatch m = dateOnly.match(text.trimmed());
    if (m.hasMatch()) {
        const int y = m.captured(1).toInt(), mo = m.captured(2).toInt(), d = m.captured(3).toInt();
        // The calendar would roll 2026-02-30 over into March; a typo must not.
        if (!QDate(y, mo, d).isValid())
            return std::nullopt;
        if (edge == RangeEdge::Begin)
            return timeOfGregorianDay(y, mo, d);
        const QDateTime next = timeOfGregorianDay(y, mo, d + 1);
        return next.isValid() ? std::optional(next.addMSecs(-1)) : std::nullopt;
    }
    QDateTime dt = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (!dt.isValid())
        return std::nullopt;
    return dt.toUTC();
}

bool parseOptions(const QStringList &args, const QStringList &names, QMap<QString, QString> &values,
                  QString &error)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString name = a, value;
        bool inlineValue = false;
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (a.startsWith(QLatin1String("--")) && eq > 0) {
            name = a.left(eq);
            value = a.mid(eq + 1);
            inlineValue = true;
        }
        if (!names.contains(name)) {
            error = QStringLiteral("unknown option \"%1\"").arg(a);
            return false;
        }
        if (values.contains(name)) {
            error = QStringLiteral("%1 given twice").arg(name);
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            value = args[++i];
        }
        values.insert(name, value);
    }
    return true;
}

QStringList selectionOptionNames()
{
    return {QStringLiteral("--property"), QStringLiteral("--task"), QStringLiteral("--from"),
            QStringLiteral("--to")};
}

LogFilter nameFilter(const QMap<QString, QString> &options)
{
    const QString property = QStringLiteral("--property"), task = QStringLiteral("--task");
    return {options.contains(property) ? NameChoice(options.value(property)) : NameChoice(),
            options.contains(task) ? NameChoice(options.value(task)) : NameChoice(), std::nullopt,
            std::nullopt};
}

std::optional<SelectionOptions> parseSelection(const QMap<QString, QString> &options, const QString &command,
                                               QTextStream &err)
{
    const QString from = QStringLiteral("--from"), to = QStringLiteral("--to");
    std::optional<QDateTime> begin = startOfCurrentYearLocal(), end = Clock::now();
    if (options.contains(from))
        begin = parseDateOption(options.value(from), RangeEdge::Begin);
    if (options.contains(to))
        end = parseDateOption(options.value(to), RangeEdge::End);
    if (!begin || !end) {
        err << "kov-cli " << command << ": a date must be YYYY-MM-DD or an ISO 8601 date-time\n";
        return std::nullopt;
    }
    SelectionOptions selection{nameFilter(options), *begin, *end};
    selection.filter.begin = begin;
    selection.filter.end = end;
    return selection;
}

bool checkDateOrder(const SelectionOptions &selection, QTextStream &err, const QString &prefix)
{
    if (areBeginEndDatesOK(selection.begin, selection.end))
        return true;
    err << prefix << "Begin Date must be prior to or equal to End Date. Please adjust dates\n";
    return false;
}

bool readDataFileOrReport(const QString &fileName, RecordList &records, QTextStream &err)
{
    DataFileStatus status;
    records = readDataFile(dataFilePath(fileName), &status);
    if (status.state != DataFileStatus::Unreadable)
        return true;
    err << "kov-cli: " << QDir::toNativeSeparators(dataFilePath(fileName)) << ": " << status.reason << '\n';
    return false;
}

namespace {

bool isAmount(const QVariant &cell)
{
    return cell.typeId() == QMetaType::Double;
}

// A whole number (a count or a code), printed without decimals.
bool isWholeNumber(const QVariant &cell)
{
    return cell.typeId() == QMetaType::LongLong;
}

void writeText(QTextStream &out, const OutputTable &table)
{
    const qsizetype n = table.fields.size();
    QList<qsizetype> widths(n);
    QList<bool> numeric(n, false);
    for (qsizetype c = 0; c < n; ++c)
        widths[c] = table.fields[c].size();
    QList<QStringList> texts;
    for (const QVariantList &row : table.rows) {
        QStringList line;
        for (qsizetype c = 0; c < n; ++c) {
            const QVariant cell = row.value(c);
            // One line per row: line breaks inside a note show as spaces.
            QString t = cellText(cell).simplified();
            numeric[c] = numeric[c] || isAmount(cell) || isWholeNumber(cell);
            widths[c] = std::max(widths[c], t.size());
            line.append(t);
        }
        texts.append(line);
    }
    auto writeLine = [&](const QStringList &line) {
        QString s;
        for (qsizetype c = 0; c < n; ++c) {
            if (c > 0)
                s += QLatin1String("  ");
            s += numeric[c] ? line[c].rightJustified(widths[c]) : line[c].leftJustified(widths[c]);
        }
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        out << s << '\n';
    };
    writeLine(table.fields);
    for (const QStringList &line : texts)
        writeLine(line);
}

} // namespace

void writeTable(QTextStream &out, const OutputTable &table, OutputFormat format)
{
    switch (format) {
    case OutputFormat::Json: {
        QJsonArray array;
        for (const QVariantList &row : table.rows) {
            QJsonObject object;
            for (qsizetype c = 0; c < table.fields.size(); ++c) {
                const QVariant cell = row.value(c);
                object.insert(table.fields[c],
                              !cell.isValid()                         ? QJsonValue(QJsonValue::Null)
                              : isAmount(cell) || isWholeNumber(cell) ? QJsonValue(cell.toDouble())
                              : cell.typeId() == QMetaType::Bool      ? QJsonValue(cell.toBool())
                                                                      : QJsonValue(cell.toString()));
            }
            array.append(object);
        }
        out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        break;
    }
    case OutputFormat::Csv:
        out << csvText(table);
        break;
    case OutputFormat::Text:
        if (!table.rows.isEmpty())
            writeText(out, table);
        break;
    }
}

} // namespace kov::cli

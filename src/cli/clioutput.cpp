#include "cli/clioutput.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include <QDir>
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

namespace {

// A command runs once and the process ends: the records it read are left
// for the system to take back whole, which is faster than freeing a long
// log one map at a time (a tenth of a short command's time). They stay
// reachable, so a leak checker does not count them.
void keepUntilExit(const RecordList &records)
{
    static auto *kept = new QList<RecordList>;
    kept->append(records);
}

} // namespace

bool readDataFileOrReport(const QString &fileName, RecordList &records, QTextStream &err)
{
    DataFileStatus status;
    records = readDataFile(dataFilePath(fileName), &status);
    if (status.state != DataFileStatus::Unreadable) {
        keepUntilExit(records);
        return true;
    }
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

// JSON written straight, as QJsonDocument's indented form writes it (the
// same bytes, without a document of every row first): four spaces a level,
// an object's keys in code-unit order, a repeated key's last value.
void appendJsonString(QString &json, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    auto escapeUnit = [&json](char16_t u) {
        json += QLatin1String("\\u");
        for (int shift = 12; shift >= 0; shift -= 4)
            json += QLatin1Char(hex[(u >> shift) & 0xf]);
    };
    json += QLatin1Char('"');
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const bool pair =
            QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode());
        if (pair) {
            ++i;
            continue;
        }
        if (u >= 0x20 && u != u'"' && u != u'\\' && !QChar::isSurrogate(u))
            continue;
        json += text.mid(plain, i - plain);
        plain = i + 1;
        switch (u) {
        case u'"':
            json += QLatin1String("\\\"");
            break;
        case u'\\':
            json += QLatin1String("\\\\");
            break;
        case u'\b':
            json += QLatin1String("\\b");
            break;
        case u'\f':
            json += QLatin1String("\\f");
            break;
        case u'\n':
            json += QLatin1String("\\n");
            break;
        case u'\r':
            json += QLatin1String("\\r");
            break;
        case u'\t':
            json += QLatin1String("\\t");
            break;
        default:
            // A control character, or half of a surrogate pair.
            escapeUnit(u);
        }
    }
    json += text.mid(plain);
    json += QLatin1Char('"');
}

// Whole numbers up to 2^53 as integers, the rest in the shortest form
// that reads back the same; no JSON number for infinities and NaN.
void appendJsonNumber(QString &json, double value)
{
    if (!std::isfinite(value))
        json += QLatin1String("null");
    else if (value == std::trunc(value) && std::abs(value) <= 9007199254740992.0)
        json += QString::number(qint64(value));
    else
        json += QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// Written to `out` a few hundred rows at a time: a long log never stands
// whole in memory as text.
void writeJsonArrayOfObjects(QTextStream &out, const OutputTable &table)
{
    // Keys in order, each once (the last column of a name wins).
    std::vector<qsizetype> order(table.fields.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return table.fields[a] < table.fields[b]; });
    std::vector<qsizetype> keys;
    for (qsizetype k = 0; k < qsizetype(order.size()); ++k)
        if (k + 1 == qsizetype(order.size()) || table.fields[order[k]] != table.fields[order[k + 1]])
            keys.push_back(order[k]);
    std::vector<QString> names;
    for (const qsizetype c : keys) {
        QString name = QStringLiteral("        ");
        appendJsonString(name, table.fields[c]);
        names.push_back(name + QLatin1String(": "));
    }

    constexpr qsizetype kRowsAtOnce = 256;
    QString json = QStringLiteral("[\n");
    json.reserve(std::min(table.rows.size(), kRowsAtOnce) * qsizetype(keys.size()) * 32 + 4);
    const QVariant none;
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        if (r % kRowsAtOnce == 0 && r > 0) {
            out << json;
            json.clear();
        }
        const QVariantList &row = table.rows[r];
        json += QLatin1String("    {\n");
        for (qsizetype k = 0; k < qsizetype(keys.size()); ++k) {
            json += names[k];
            const QVariant &cell = keys[k] < row.size() ? row.at(keys[k]) : none;
            if (!cell.isValid())
                json += QLatin1String("null");
            else if (isAmount(cell) || isWholeNumber(cell))
                appendJsonNumber(json, cell.toDouble());
            else if (cell.typeId() == QMetaType::Bool)
                json += cell.toBool() ? QLatin1String("true") : QLatin1String("false");
            else
                appendJsonString(json, cell.toString());
            json += k + 1 < qsizetype(keys.size()) ? QLatin1String(",\n") : QLatin1String("\n");
        }
        json += r + 1 < table.rows.size() ? QLatin1String("    },\n") : QLatin1String("    }\n");
    }
    json += QLatin1String("]\n");
    out << json;
}

} // namespace

void writeTable(QTextStream &out, const OutputTable &table, OutputFormat format)
{
    switch (format) {
    case OutputFormat::Json:
        writeJsonArrayOfObjects(out, table);
        break;
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

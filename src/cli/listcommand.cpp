#include "cli/listcommand.h"

#include <cmath>

#include <QDir>

#include "cli/clioutput.h"
#include "lists/tasklabel.h"
#include "storage/datafiles.h"
#include "storage/rtfd.h"

namespace kov::cli {

const char *const listUsage =
    "  list (properties|providers|tasks) [--format text|csv|json]\n"
    "               a reference list in file order, with every stored value\n";

namespace {

// "PropertyNameKey" -> "propertyName": the stored key without its "Key"
// ending, in lower camel case.
QString fieldName(const QString &key)
{
    QString name = key;
    if (name.endsWith(QLatin1String("Key")) && name.size() > 3)
        name.chop(3);
    if (!name.isEmpty())
        name[0] = name[0].toLower();
    return name;
}

QVariant cell(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Bool:
        return value;
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
        return value.toDouble();
    case QMetaType::QDateTime:
        return value.toDateTime().toLocalTime().toString(Qt::ISODate);
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toBase64());
    default:
        return {};
    }
}

// Every stored value: the list's own keys first, in the order the sheets
// show them, then whatever else the records carry.
OutputTable recordTable(const RecordList &records, const QStringList &knownKeys)
{
    QStringList keys = knownKeys;
    for (const Record &r : records)
        for (auto it = r.cbegin(); it != r.cend(); ++it)
            if (!keys.contains(it.key()))
                keys.append(it.key());
    OutputTable table;
    for (const QString &key : keys)
        table.fields.append(fieldName(key));
    for (const Record &r : records) {
        QVariantList row;
        for (const QString &key : keys)
            row.append(cell(r.value(key)));
        table.rows.append(row);
    }
    return table;
}

// A stored number as a cell: a whole one prints as such ("3", not "3.00").
QVariant numberCell(const QVariant &value)
{
    if (!value.canConvert<double>() || value.typeId() == QMetaType::QString)
        return {};
    const double d = value.toDouble();
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15)
        return QVariant(qlonglong(d));
    return QVariant(d);
}

OutputTable taskTable(const RecordList &tasks)
{
    OutputTable table;
    table.fields = {QStringLiteral("name"), QStringLiteral("description"), QStringLiteral("unit"),
                    QStringLiteral("count"), QStringLiteral("interval")};
    for (const Record &t : tasks) {
        const QVariant name = t.value(ServiceTaskNameKey);
        const QVariant unit = t.value(ServiceTaskTimeUnits);
        const QVariant count = t.value(ServiceTaskTimeInUnitsKey);
        table.rows.append({name.typeId() == QMetaType::QString ? name : QVariant(),
                           plainTextOfRichText(t.value(ServiceTaskDescriptionKey).toByteArray()),
                           numberCell(unit), numberCell(count), copyTaskDescAndTimeLabel(t)});
    }
    return table;
}

} // namespace

int listCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty()) {
        err << "kov-cli list: which list? properties, providers or tasks\nUsage:\n" << listUsage;
        return 2;
    }
    const QString which = args.first();
    const QString format = QStringLiteral("--format");
    QMap<QString, QString> options;
    QString error;
    if (!parseOptions(args.mid(1), {format}, options, error)) {
        err << "kov-cli list: " << error << "\nUsage:\n" << listUsage;
        return 2;
    }
    const std::optional<OutputFormat> outputFormat = parseFormat(options.value(format, QStringLiteral("text")));
    if (!outputFormat) {
        err << "kov-cli list: --format must be text, csv or json\n";
        return 2;
    }
    QString fileName;
    QStringList knownKeys;
    if (which == QLatin1String("properties")) {
        fileName = PropertyFileForKOV;
        knownKeys = {PropertyNameKey,           PropertyAddressKey,       PropertyCityKey,
                     PropertyStateKey,          PropertyZipKey,           PropertyPurchaseMethodKey,
                     PropertyPurchaseCostKey,   PropertyPurchaseDateKey,  PropertySaleCostKey,
                     PropertySaleDateKey,       PropertyConstDateKey,     PropertyCurrentStatusKey,
                     PropertyLotSizeKey,        PropertyIntSizeKey,       PropertyNoteKey};
    } else if (which == QLatin1String("providers")) {
        fileName = ProviderFileForKOV;
        knownKeys = {ProviderNameKey,  ProviderAddressKey, ProviderPhoneKey,
                     ProviderEmailKey, ProviderWebPageKey, ProviderNoteKey};
    } else if (which == QLatin1String("tasks")) {
        fileName = ServiceTaskFileForKOV;
    } else {
        err << "kov-cli list: unknown list \"" << which << "\"; use properties, providers or tasks\n";
        return 2;
    }

    DataFileStatus status;
    const RecordList records = readDataFile(dataFilePath(fileName), &status);
    if (status.state == DataFileStatus::Unreadable) {
        err << "kov-cli: " << QDir::toNativeSeparators(dataFilePath(fileName)) << ": " << status.reason << '\n';
        return 1;
    }
    writeTable(out, fileName == ServiceTaskFileForKOV ? taskTable(records) : recordTable(records, knownKeys),
               *outputFormat);
    return 0;
}

} // namespace kov::cli

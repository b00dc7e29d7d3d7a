#include "storage/recordcheck.h"

#include <QCoreApplication>
#include <QDateTime>

namespace kov {

namespace {

using Kind = ValueKind;

// lupdate files the texts of this free tr() under the namespace, "kov".
QString tr(const char *text)
{
    return QCoreApplication::translate("kov", text);
}

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::String:
        return tr("text");
    case Kind::Real:
        return tr("a number");
    case Kind::Integer:
        return tr("a whole number");
    case Kind::Date:
        return tr("a date");
    case Kind::Data:
        return tr("data");
    }
    return {};
}

// What the reader made of a value, in the same words.
QString valueKindName(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QString:
        return tr("text");
    case QMetaType::Double:
        return tr("a number");
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return tr("a whole number");
    case QMetaType::QDateTime:
        return tr("a date");
    case QMetaType::QByteArray:
        return tr("data");
    case QMetaType::Bool:
        return tr("true or false");
    case QMetaType::QVariantList:
        return tr("a list");
    case QMetaType::QVariantMap:
        return tr("a dictionary");
    default:
        return tr("nothing");
    }
}

bool holds(const QVariant &v, Kind kind)
{
    switch (kind) {
    case Kind::String:
        return v.typeId() == QMetaType::QString;
    case Kind::Real:
        // An integer element is a number too; Foundation reads it as one.
        return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong ||
               v.typeId() == QMetaType::ULongLong;
    case Kind::Integer:
        return v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::ULongLong;
    case Kind::Date:
        return v.typeId() == QMetaType::QDateTime;
    case Kind::Data:
        return v.typeId() == QMetaType::QByteArray;
    }
    return false;
}

} // namespace

QStringList recordProblems(const QString &fileName, const RecordList &records)
{
    const QList<KeyRule> &rules = recordKeyRules(fileName);
    QStringList problems;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const Record &record = records[i];
        const QString where = tr("record %1").arg(i + 1);
        for (const KeyRule &rule : rules) {
            const auto it = record.constFind(rule.key);
            if (it == record.constEnd()) {
                if (rule.required)
                    problems.append(tr("%1: no \"%2\"").arg(where, rule.key));
                continue;
            }
            if (rule.required && it->typeId() == QMetaType::QString && it->toString().isEmpty()) {
                problems.append(tr("%1: \"%2\" is empty").arg(where, rule.key));
            } else if (!holds(*it, rule.kind)) {
                problems.append(tr("%1: \"%2\" holds %3, not %4")
                                    .arg(where, rule.key, valueKindName(*it), kindName(rule.kind)));
            } else if (rule.key == ServiceTaskTimeUnits) {
                const qlonglong unit = it->toLongLong();
                if (it->typeId() == QMetaType::ULongLong || unit < 0 || unit > 3)
                    problems.append(tr("%1: \"%2\" holds %3, not a unit code from 0 to 3")
                                        .arg(where, rule.key, it->toString()));
            } else if (rule.key == ServiceDateKey && !it->toDateTime().isValid()) {
                problems.append(tr("%1: \"%2\" holds a date KOV cannot use").arg(where, rule.key));
            }
        }
    }
    return problems;
}

QString describeRecordProblems(const QStringList &problems, int shown)
{
    QStringList lines = problems.mid(0, shown);
    if (problems.size() > shown)
        lines.append(QCoreApplication::translate("RecordCheck", "and %n more", nullptr,
                                                 int(problems.size() - shown)));
    return lines.join(u'\n');
}

} // namespace kov

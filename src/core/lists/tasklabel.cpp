#include "lists/tasklabel.h"

#include <cmath>

#include <limits>

#include <QCoreApplication>

#include "log/costrules.h"

namespace kov {

namespace {

// An integer stored as a number, or as digits (files from other programs);
// -1 when absent or no whole number.
qlonglong storedInteger(const Record &task, const QString &key)
{
    const QVariant value = task.value(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return value.toLongLong();
    case QMetaType::Double: {
        // Converting a NaN or a real beyond 64 bits is undefined; such a count
        // names no interval.
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) >= 9.2e18)
            return -1;
        return d == double(qlonglong(d)) ? qlonglong(d) : -1;
    }
    case QMetaType::QString: {
        bool ok = false;
        const qlonglong n = value.toString().trimmed().toLongLong(&ok);
        return ok ? n : -1;
    }
    default:
        return -1;
    }
}

} // namespace

QString copyTaskDescAndTimeLabel(const std::optional<Record> &task)
{
    const QString none = QStringLiteral("None");
    if (!task)
        return none;
    const qlonglong units = storedInteger(*task, ServiceTaskTimeUnits);
    const qlonglong count = storedInteger(*task, ServiceTaskTimeInUnitsKey);
    // An unknown unit or a count out of range is no interval we can name.
    if (units < 0 || units > 3 || count < 0 || count > std::numeric_limits<qint32>::max())
        return none;
    const bool plural = count >= 2;
    QString unit;
    switch (units) {
    case 0:
        unit = plural ? QCoreApplication::translate("TaskLabel", " days")
                      : QCoreApplication::translate("TaskLabel", " day");
        break;
    case 1:
        unit = plural ? QCoreApplication::translate("TaskLabel", " months")
                      : QCoreApplication::translate("TaskLabel", " month");
        break;
    case 2:
        unit = plural ? QCoreApplication::translate("TaskLabel", " years")
                      : QCoreApplication::translate("TaskLabel", " year");
        break;
    default:
        unit = QCoreApplication::translate("TaskLabel", " None");
        break;
    }
    const QString countText =
        count == 0 ? QString() : copyFormatStringForTextField(double(count), pattern::count);
    return countText + unit;
}

} // namespace kov

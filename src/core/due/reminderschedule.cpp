#include "due/reminderschedule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QUuid>

#include <optional>

namespace kov {

namespace {

QString stateFolder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/KOV");
}

std::optional<QList<ScheduledReminder>> parse(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonValue list = doc.object().value(QLatin1String("reminders"));
    if (!list.isArray())
        return std::nullopt;
    QList<ScheduledReminder> reminders;
    for (const QJsonValue &entry : list.toArray()) {
        const QJsonObject o = entry.toObject();
        ScheduledReminder r{
            o.value(QLatin1String("id")).toString(), o.value(QLatin1String("title")).toString(),
            o.value(QLatin1String("text")).toString(),
            QDateTime::fromString(o.value(QLatin1String("nextDelivery")).toString(), Qt::ISODateWithMs)};
        if (r.id.isEmpty() || !r.nextDelivery.isValid())
            return std::nullopt;
        reminders.append(r);
    }
    return reminders;
}

QByteArray serialize(const QList<ScheduledReminder> &reminders)
{
    QJsonArray list;
    for (const ScheduledReminder &r : reminders)
        list.append(QJsonObject{
            {QStringLiteral("id"), r.id},
            {QStringLiteral("title"), r.title},
            {QStringLiteral("text"), r.text},
            {QStringLiteral("nextDelivery"), r.nextDelivery.toUTC().toString(Qt::ISODateWithMs)}});
    return QJsonDocument(QJsonObject{{QStringLiteral("reminders"), list}}).toJson();
}

// Reads the file; the caller holds the lock.
QList<ScheduledReminder> readLocked(QString *problem)
{
    const QString path = ReminderSchedule::filePath();
    QFile file(path);
    if (!file.exists())
        return {};
    if (file.open(QIODevice::ReadOnly)) {
        if (auto reminders = parse(file.readAll()))
            return *reminders;
        file.close();
    }
    // Damaged or unreadable: kept aside under a name of its own, never
    // overwritten by the next write.
    const QString aside = path + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const bool moved = QFile::rename(path, aside);
    if (problem)
        *problem =
            moved ? QCoreApplication::translate("kov",
                                                "The reminders file could not be read; it was kept as %1.")
                        .arg(aside)
                  : QCoreApplication::translate("kov", "The reminders file %1 could not be read.").arg(path);
    return {};
}

class ScheduleLock {
public:
    ScheduleLock() : lock(stateFolder() + QStringLiteral("/reminders.lock"))
    {
        QDir().mkpath(stateFolder());
        lock.setStaleLockTime(30000);
        locked = lock.tryLock(10000);
    }
    bool locked = false;

private:
    QLockFile lock;
};

} // namespace

QDateTime nextDailyDelivery(const QDateTime &after)
{
    const QDateTime local = after.toLocalTime();
    QDateTime at8(local.date(), QTime(8, 0), Qt::LocalTime);
    if (at8 <= after)
        at8 = QDateTime(local.date().addDays(1), QTime(8, 0), Qt::LocalTime);
    return at8;
}

QString ReminderSchedule::filePath()
{
    return stateFolder() + QStringLiteral("/reminders.json");
}

QList<ScheduledReminder> ReminderSchedule::load(QString *problem)
{
    ScheduleLock lock;
    if (!lock.locked) {
        if (problem)
            *problem = QCoreApplication::translate("kov", "The reminders file is busy; try again.");
        return {};
    }
    return readLocked(problem);
}

bool ReminderSchedule::update(const std::function<void(QList<ScheduledReminder> &)> &change, QString *problem)
{
    ScheduleLock lock;
    if (!lock.locked) {
        if (problem)
            *problem = QCoreApplication::translate("kov", "The reminders file is busy; try again.");
        return false;
    }
    QList<ScheduledReminder> reminders = readLocked(problem);
    const QByteArray before = serialize(reminders);
    change(reminders);
    const QByteArray after = serialize(reminders);
    if (after == before && QFile::exists(filePath()))
        return true;
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(after) != after.size() || !file.commit()) {
        if (problem)
            *problem = QCoreApplication::translate("kov", "The reminders could not be saved in %1: %2")
                           .arg(filePath(), file.errorString());
        return false;
    }
    return true;
}

ScheduledReminder ReminderSchedule::add(const QString &title, const QString &text, const QDateTime &delivery,
                                        QString *problem)
{
    const ScheduledReminder reminder{QUuid::createUuid().toString(QUuid::WithoutBraces), title, text,
                                     delivery};
    if (!update([&](QList<ScheduledReminder> &list) { list.append(reminder); }, problem))
        return {};
    return reminder;
}

bool ReminderSchedule::remove(const QString &id, QString *problem)
{
    bool found = false;
    const bool written = update(
        [&](QList<ScheduledReminder> &list) {
            found = list.removeIf([&](const ScheduledReminder &r) { return r.id == id; }) > 0;
        },
        problem);
    return written && found;
}

} // namespace kov

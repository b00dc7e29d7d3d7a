// Helpers the tests share: a scoped locale and a kov-cli run.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <unicode/locid.h>

#include "storage/records.h"

namespace kov::test {

// Switches ICU's and Qt's default locale for the life of the object.
class LocaleScope {
public:
    explicit LocaleScope(const QString &name) : saved(icu::Locale::getDefault())
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(name.toLatin1().constData()), status);
        QLocale::setDefault(QLocale(name));
    }
    ~LocaleScope()
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(saved, status);
        QLocale::setDefault(QLocale(QString::fromLatin1(saved.getName())));
    }
    LocaleScope(const LocaleScope &) = delete;
    LocaleScope &operator=(const LocaleScope &) = delete;

private:
    icu::Locale saved;
};

// A local date and time of day.
inline QDateTime local(int y, int mo, int d, int h = 0, int mi = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi));
}

// A file's bytes; none when it cannot be opened.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The same records in the same order.
inline bool listsEqual(const RecordList &a, const RecordList &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!recordsEqual(a[i], b[i]))
            return false;
    }
    return true;
}

// kov-cli's --property and --task for the names given; none for empty ones.
inline QStringList nameOptions(const QString &property, const QString &task)
{
    QStringList args;
    if (!property.isEmpty())
        args << QStringLiteral("--property") << property;
    if (!task.isEmpty())
        args << QStringLiteral("--task") << task;
    return args;
}

// What a kov-cli run gave: its exit status (-1 when it crashed or hung)
// and what it wrote.
struct CliRun {
    int status = -1;
    QByteArray out, err;
};

inline CliRun runCli(const QStringList &args,
                     const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KOV_CLI_PATH), args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

} // namespace kov::test

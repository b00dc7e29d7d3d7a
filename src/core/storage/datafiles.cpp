#include "storage/datafiles.h"

#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

static void initKovCoreResources()
{
    // The resources of a static library must be registered by hand.
    Q_INIT_RESOURCE(kovcore);
}

namespace kov {

namespace {

QString &folderOverride()
{
    static QString dir;
    return dir;
}

DataFileProblemHandler &problemHandler()
{
    static DataFileProblemHandler handler;
    return handler;
}

void report(DataFileProblem::Kind kind, const QString &fileName, const QString &path, const QString &reason)
{
    if (problemHandler())
        problemHandler()({kind, fileName, path, reason});
}

// lupdate files the texts of this free tr() under the namespace, "kov".
QString tr(const char *text)
{
    return QCoreApplication::translate("kov", text);
}

// Turns the bytes of a data file into a list of records; anything but an
// array of dictionaries is refused, so such a file is never rewritten from
// a guess. The bytes go as soon as they are read.
RecordList recordsFromBytes(QByteArray &&bytes, DataFileStatus *status)
{
    QVariant root;
    PlistError error;
    if (!readPlist(std::move(bytes), &root, &error)) {
        status->state = DataFileStatus::Unreadable;
        status->error = error;
        status->reason = error.toString();
        return {};
    }
    if (root.typeId() != QMetaType::QVariantList) {
        status->state = DataFileStatus::Unreadable;
        status->reason = tr("the file does not hold a list of records");
        return {};
    }
    // The records are moved out of what was read, not copied.
    QVariantList items = std::move(*static_cast<QVariantList *>(root.data()));
    RecordList records;
    records.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].typeId() != QMetaType::QVariantMap) {
            status->state = DataFileStatus::Unreadable;
            status->reason = tr("record %1 is not a dictionary").arg(i + 1);
            return {};
        }
        records.append(std::move(*static_cast<QVariantMap *>(items[i].data())));
    }
    status->state = DataFileStatus::Ok;
    return records;
}

bool syncFolder(const QString &dir)
{
#ifndef Q_OS_UNIX
    Q_UNUSED(dir);
    return true; // elsewhere the rename is as durable as the platform makes it
#else
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#endif
}

} // namespace

void setDataFolderOverride(const QString &dir)
{
    folderOverride() = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

QString dataFolderPath()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QStringLiteral("Tolvanderwerks"));
}

QString copyDataFolderURL()
{
    const QString dir = dataFolderPath();
    // Missing parents are created too: on a fresh Linux account even
    // ~/.local/share may not exist yet, and without the folder every write
    // would fail.
    QDir().mkpath(dir);
    return dir;
}

QString dataFilePath(const QString &fileName)
{
    return QDir(dataFolderPath()).filePath(fileName);
}

RecordList readDataFile(const QString &path, DataFileStatus *status)
{
    DataFileStatus local;
    DataFileStatus *st = status ? status : &local;
    *st = DataFileStatus();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        st->state = DataFileStatus::Missing;
        return {};
    }
    if (info.isDir()) {
        st->state = DataFileStatus::Unreadable;
        st->reason = tr("a folder stands where the file should be");
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        st->state = DataFileStatus::Unreadable;
        st->reason = file.errorString();
        return {};
    }
    // Straight into one buffer of the file's size, then whatever a file
    // that grew meanwhile holds beyond it.
    QByteArray bytes(qMax<qint64>(file.size(), 0), Qt::Uninitialized);
    qint64 got = 0;
    while (got < bytes.size()) {
        const qint64 n = file.read(bytes.data() + got, bytes.size() - got);
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    if (file.error() == QFileDevice::NoError)
        bytes += file.readAll();
    if (file.error() != QFileDevice::NoError) {
        st->state = DataFileStatus::Unreadable;
        st->reason = file.errorString();
        return {};
    }
    file.close();
    return recordsFromBytes(std::move(bytes), st);
}

RecordList copyDataFileArray(const QString &fileName, DataFileStatus *status)
{
    const QString path = QDir(copyDataFolderURL()).filePath(fileName);
    DataFileStatus local;
    RecordList records = readDataFile(path, &local);
    if (local.state == DataFileStatus::Unreadable)
        report(DataFileProblem::ReadFailed, fileName, path, local.reason);
    if (status)
        *status = local;
    return records;
}

FileStamp fileStamp(const QString &path)
{
    FileStamp stamp;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return stamp;
}

bool writeDataFileArray(const RecordList &array, const QString &fileName, FileStamp *readAs)
{
    const QString dir = dataFolderPath();
    const QString path = QDir(dir).filePath(fileName);

    // Never replace what we could not read: the user's records may be in it.
    // A caller that read this very version and found it readable spares the
    // second read.
    if (!readAs || fileStamp(path) != *readAs) {
        DataFileStatus current;
        readDataFile(path, &current);
        if (current.state == DataFileStatus::Unreadable) {
            report(DataFileProblem::WriteRefused, fileName, path, current.reason);
            return false;
        }
    }

    QVariantList list;
    list.reserve(array.size());
    for (const Record &r : array)
        list.append(r);
    const QByteArray bytes = writePlist(list);

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so a short write (a full disk) shows here and not in a
    // flush inside commit(), which would not stop the rename.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        report(DataFileProblem::WriteFailed, fileName, path, file.errorString());
        return false;
    }
    // A write cut short (a disk that filled, a size limit) reports no error
    // of its own; writing the rest makes the system say why.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size() || !file.flush()) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : tr("only part of the file could be written (the disk may be full)");
        file.cancelWriting();
        report(DataFileProblem::WriteFailed, fileName, path, reason);
        return false;
    }
    // commit() flushes and fsyncs the temporary file before renaming it.
    if (!file.commit()) {
        report(DataFileProblem::WriteFailed, fileName, path, file.errorString());
        return false;
    }
    // The rename itself is durable only once the folder is synced.
    syncFolder(dir);
    if (readAs)
        *readAs = fileStamp(path);
    return true;
}

Record asStored(const Record &record)
{
    QVariant back;
    if (!readPlist(writePlist(QVariantList{record}), &back, nullptr))
        return record;
    const QVariantList list = back.toList();
    return list.isEmpty() ? record : list.first().toMap();
}

RecordList copyResourceArray(const QString &resourceName)
{
    initKovCoreResources();
    DataFileStatus status;
    return readDataFile(QStringLiteral(":/") + resourceName, &status);
}

RecordList copyTaskListSeedingDefaults()
{
    DataFileStatus status;
    RecordList tasks = copyDataFileArray(ServiceTaskFileForKOV, &status);
    if (status.state == DataFileStatus::Unreadable || !tasks.isEmpty())
        return tasks;
    tasks = copyResourceArray(ServiceTaskDefaultsFileName);
    writeDataFileArray(tasks, ServiceTaskFileForKOV);
    return tasks;
}

DataFileProblemHandler setDataFileProblemHandler(DataFileProblemHandler handler)
{
    DataFileProblemHandler previous = std::move(problemHandler());
    problemHandler() = std::move(handler);
    return previous;
}

} // namespace kov

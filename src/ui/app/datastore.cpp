#include "app/datastore.h"

#include <utility>

#include <QDir>

namespace kov {

DataStore::DataStore(QObject *parent) : QObject(parent)
{
    previousHandler = setDataFileProblemHandler([this](const DataFileProblem &p) { Q_EMIT problem(p); });
}

DataStore::~DataStore()
{
    setDataFileProblemHandler(std::move(previousHandler));
}

DataStore::Cached &DataStore::fresh(const QString &fileName)
{
    // The stamp is taken before the read: a change that lands in between
    // leaves a newer file than the stamp says, which the next use reads.
    const FileStamp stamp = fileStamp(QDir(copyDataFolderURL()).filePath(fileName));
    auto it = cache.find(fileName);
    if (it != cache.end() && it->stamp == stamp)
        return *it;
    Cached c;
    c.stamp = stamp;
    c.records = copyDataFileArray(fileName, &c.status);
    return *cache.insert(fileName, std::move(c));
}

RecordList DataStore::records(const QString &fileName, DataFileStatus *status)
{
    const Cached &c = fresh(fileName);
    if (status)
        *status = c.status;
    return c.records;
}

RecordList DataStore::copyTaskListSeedingDefaults()
{
    DataFileStatus status;
    RecordList tasks = records(ServiceTaskFileForKOV, &status);
    // A task file that cannot be read is left alone, never seeded over.
    if (status.state == DataFileStatus::Unreadable || !tasks.isEmpty())
        return tasks;
    tasks = copyResourceArray(ServiceTaskDefaultsFileName);
    // Where they cannot be stored (the user has been told why), this session
    // still offers them.
    if (!write(ServiceTaskFileForKOV, tasks))
        return tasks;
    return records(ServiceTaskFileForKOV);
}

bool DataStore::commit(const QString &fileName, RecordList list)
{
    Cached &c = fresh(fileName);
    // Only a version read whole spares the writer its own check.
    FileStamp stamp = c.stamp;
    const bool readable = c.status.state != DataFileStatus::Unreadable;
    if (!writeDataFileArray(list, fileName, readable ? &stamp : nullptr))
        return false;
    c.stamp = readable ? stamp : fileStamp(dataFilePath(fileName));
    c.status = DataFileStatus();
    c.status.state = DataFileStatus::Ok;
    const RecordList before = std::exchange(c.records, list);
    if (readable)
        Q_EMIT recordsWritten(fileName, before, list);
    if (fileName == PropertyHistoryFileForKOV)
        Q_EMIT historyChanged();
    else
        Q_EMIT listChanged(fileName);
    return true;
}

bool DataStore::write(const QString &fileName, const RecordList &list)
{
    // Served afterwards as the file holds them.
    RecordList stored;
    stored.reserve(list.size());
    for (const Record &record : list)
        stored.append(asStored(record));
    return commit(fileName, std::move(stored));
}

bool DataStore::add(const QString &fileName, const Record &record)
{
    RecordList list = fresh(fileName).records;
    list.append(asStored(record));
    return commit(fileName, std::move(list));
}

bool DataStore::change(const QString &fileName, qsizetype index, const Record &record)
{
    RecordList list = fresh(fileName).records;
    if (index < 0 || index >= list.size())
        return false;
    list.removeAt(index);
    list.append(asStored(record));
    return commit(fileName, std::move(list));
}

bool DataStore::remove(const QString &fileName, qsizetype index)
{
    RecordList list = fresh(fileName).records;
    if (index < 0 || index >= list.size())
        return false;
    list.removeAt(index);
    return commit(fileName, std::move(list));
}

} // namespace kov

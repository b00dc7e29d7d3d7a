// The window's one owner of the four data files. A file is read once and
// served from memory until it changes on disk: before every use its device,
// inode, size and modification time are compared with the version read, so
// a change made by anything else is always seen. Every write goes through
// the safe writer, one write per user action, and is announced.
#pragma once

#include <QHash>
#include <QObject>

#include "storage/datafiles.h"

namespace kov {

class DataStore : public QObject {
    Q_OBJECT
public:
    explicit DataStore(QObject *parent = nullptr);
    ~DataStore() override;

    // The records of a data file as it stands now. A missing or unreadable
    // file gives none; an unreadable one is reported through problem().
    RecordList records(const QString &fileName, DataFileStatus *status = nullptr);
    // The task list, seeded from the shipped defaults when it holds none.
    RecordList copyTaskListSeedingDefaults();

    // Each returns false when nothing was written: the file could not be
    // read as it stands, or the write failed; problem() has told why.
    // The whole list, as given.
    bool write(const QString &fileName, const RecordList &records);
    // One record at the end.
    bool add(const QString &fileName, const Record &record);
    // The record at `index` out and `record` at the end, in one write, so a
    // failure can never lose the record.
    bool change(const QString &fileName, qsizetype index, const Record &record);
    bool remove(const QString &fileName, qsizetype index);

Q_SIGNALS:
    // The maintenance log was written.
    void historyChanged();
    // One of the three reference lists was written.
    void listChanged(const QString &fileName);
    void problem(const kov::DataFileProblem &problem);
    // Any write over a version read whole, with the records before and after
    // it (as stored), for the undo history.
    void recordsWritten(const QString &fileName, const kov::RecordList &before, const kov::RecordList &after);

private:
    struct Cached {
        FileStamp stamp;
        DataFileStatus status;
        RecordList records;
    };
    Cached &fresh(const QString &fileName);
    bool commit(const QString &fileName, RecordList records);

    QHash<QString, Cached> cache;
    DataFileProblemHandler previousHandler;
};

} // namespace kov

// The data folder and the four data files. Every read and write of a data
// file goes through copyDataFileArray / writeDataFileArray.
#pragma once

#include <functional>

#include <QString>

#include "storage/plist.h"
#include "storage/records.h"

namespace kov {

// Use `dir` as the data folder instead of "Tolvanderwerks" in the user's data
// location (kov --data-dir, kov-cli --data-dir). An empty string restores
// the default.
void setDataFolderOverride(const QString &dir);

// The data folder's path, without creating it.
QString dataFolderPath();
// The data folder's path; creates the folder (and missing parents) first.
QString copyDataFolderURL();
// The full path of a data file in the data folder.
QString dataFilePath(const QString &fileName);

// How a data file read.
struct DataFileStatus {
    enum State { Missing, Ok, Unreadable };
    State state = Missing;
    QString reason;   // why it could not be read, in words
    PlistError error; // the parse error, with line and column, when there was one
};

// The records of a data file. A missing file gives an empty list. A file
// that exists but cannot be read also gives an empty list; the problem is
// reported to the problem handler and `status`, and writes to that file are
// refused until it reads again, so its contents are never lost.
RecordList copyDataFileArray(const QString &fileName, DataFileStatus *status = nullptr);

// Reads a data file without reporting anything (for kov-cli check).
RecordList readDataFile(const QString &path, DataFileStatus *status);

// What identifies one version of a file on disk: a change by anything
// (another program, kov-cli, a folder synced from another machine) changes
// at least one of these.
struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0; // modification time, nanoseconds since 1970
    bool operator==(const FileStamp &) const = default;
};
FileStamp fileStamp(const QString &path);

// Writes the whole list atomically and durably (temporary file, fsync,
// rename, fsync of the folder). Refuses to replace a file that exists but
// cannot be read. On failure the old file is untouched, the problem handler
// is told why, and false is returned.
//
// `readAs`, when given, is the stamp of the version of the file the caller
// read and found readable: while the file still has it, it is not read
// again. On success it is set to the stamp of the file written.
bool writeDataFileArray(const RecordList &array, const QString &fileName, FileStamp *readAs = nullptr);

// The record as the file will hold it once written and read back (text a
// file cannot carry replaced, dates to whole seconds, and so on).
Record asStored(const Record &record);

// An array of records from a Qt resource (":/" + name); empty when missing
// or unreadable.
RecordList copyResourceArray(const QString &resourceName);

// The task list, seeded from the shipped defaults when it holds no records.
// A task file that cannot be read is left alone (and not seeded over).
RecordList copyTaskListSeedingDefaults();

// Problems worth telling the user about.
struct DataFileProblem {
    enum Kind { ReadFailed, WriteRefused, WriteFailed };
    Kind kind = ReadFailed;
    QString fileName; // e.g. "PropertyHistoryFileForKOV"
    QString path;
    QString reason;
};
using DataFileProblemHandler = std::function<void(const DataFileProblem &)>;
// The front end's listener; none by default. Returns the previous one.
DataFileProblemHandler setDataFileProblemHandler(DataFileProblemHandler handler);

} // namespace kov

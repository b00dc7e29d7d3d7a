// Property lists: any bytes either read or give an error with its place;
// what reads writes out, reads back as the same value and writes the same
// bytes again. A list of dictionaries also reads as a data file.
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdint>

#include "fuzzcheck.h"
#include "storage/datafiles.h"
#include "storage/plist.h"
#include "storage/records.h"

using namespace kov;
using kov::fuzz::check;

namespace {

// The value as it can be written: dates keep whole seconds (rounded down).
QVariant writable(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const qint64 ms = v.toDateTime().toMSecsSinceEpoch();
        const qint64 secs = ms / 1000 - (ms % 1000 < 0 ? 1 : 0);
        return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
    }
    case QMetaType::QVariantList: {
        QVariantList list = v.toList();
        for (QVariant &e : list)
            e = writable(e);
        return list;
    }
    case QMetaType::QVariantMap: {
        QVariantMap map = v.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            it.value() = writable(it.value());
        return map;
    }
    default:
        return v;
    }
}

// The data-file reader takes a path; one scratch file serves every input.
QString scratchFile()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("PropertyHistoryFileForKOV"));
}

void checkDataFile(const QByteArray &bytes, const QVariantList &list)
{
    const QString path = scratchFile();
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
          "scratch file written");
    file.close();
    DataFileStatus status;
    const RecordList records = readDataFile(path, &status);
    bool allRecords = true;
    for (const QVariant &item : list)
        allRecords = allRecords && item.typeId() == QMetaType::QVariantMap;
    check((status.state == DataFileStatus::Ok) == allRecords, "data file state matches its contents",
          status.reason);
    if (!allRecords) {
        check(records.isEmpty() && !status.reason.isEmpty(),
              "a refused data file gives no records and a reason");
        return;
    }
    check(records.size() == list.size(), "data file record count");
    for (qsizetype i = 0; i < records.size(); ++i)
        check(recordsEqual(records[i], list[i].toMap()), "data file record equals the plist's");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // No copy: a read past the end is a read past the input.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QVariant value;
    PlistError error;
    const bool read = readPlist(bytes, &value, &error);
    // Read through the form that lets go of its bytes: the same answer.
    QVariant inPlace;
    check(readPlist(QByteArray(bytes.constData(), bytes.size()), &inPlace, nullptr) == read &&
              valuesEqual(inPlace, value),
          "a parse in place reads as a parse of a copy");
    if (!read) {
        check(!error.isNull() && !value.isValid(), "a refused document has an error and no value");
        check(error.line >= 0 && error.column >= 0, "error place");
        check(!error.toString().isEmpty(), "error text");
        return 0;
    }
    check(error.isNull(), "a document that reads has no error", error.toString());

    const QByteArray written = writePlist(value);
    QVariant again;
    check(readPlist(written, &again, &error), "what was written reads back",
          error.toString() + u'\n' + QString::fromUtf8(written));
    check(valuesEqual(again, writable(value)), "what was written reads back as the same value",
          QString::fromUtf8(written));
    check(writePlist(again) == written, "what was read back writes the same bytes",
          QString::fromUtf8(written));

    if (value.typeId() == QMetaType::QVariantList)
        checkDataFile(bytes, value.toList());
    return 0;
}

// What the listing commands of kov-cli share: their options, dates given on
// the command line, and rows written as text, CSV or JSON.
#pragma once

#include <optional>

#include <QDateTime>
#include <QMap>
#include <QStringList>
#include <QTextStream>
#include <QVariantList>

#include "export/exportfiles.h"
#include "log/logfilter.h"

namespace kov::cli {

enum class OutputFormat { Text, Csv, Json };

// "text", "csv" or "json".
std::optional<OutputFormat> parseFormat(const QString &name);

// Which end of a range a date option gives.
enum class RangeEdge { Begin, End };

// A date as a user types it: "YYYY-MM-DD" is the local day, its first
// instant for a begin and its last for an end; an ISO 8601 date-time is
// taken as given (local time when it names no offset). None when unreadable.
std::optional<QDateTime> parseDateOption(const QString &text, RangeEdge edge);

// Reads "--name VALUE" and "--name=VALUE" for the given names (each at most
// once) into `values`. False with `error` set for an unknown or repeated
// option or a missing value.
bool parseOptions(const QStringList &args, const QStringList &names, QMap<QString, QString> &values,
                  QString &error);

// Rows of named fields (the exported files' tables). A cell is a QString, a
// double, a bool (JSON true or false, else "true"/"false"), or null (invalid).
using OutputTable = kov::ExportTable;

// Writes the table: text as aligned columns for people, CSV by RFC 4180
// (header row, CRLF, "." decimals), JSON as an array of objects. No rows
// write nothing, or an empty array for JSON.
void writeTable(QTextStream &out, const OutputTable &table, OutputFormat format);

// The records a listing command reads: --property and --task (none means
// all) and --from .. --to, by default 1 January of this year .. now.
struct SelectionOptions {
    LogFilter filter;
    QDateTime begin, end;
};

// The options a selection reads.
QStringList selectionOptionNames();

// The property and task choice alone, for commands that take no dates.
LogFilter nameFilter(const QMap<QString, QString> &options);

// The selection the options give. None, with "kov-cli COMMAND: ..." written
// to `err`, when a date is unreadable.
std::optional<SelectionOptions> parseSelection(const QMap<QString, QString> &options, const QString &command,
                                               QTextStream &err);

// True when the begin date is not later than the end date; else writes the
// window's message, after `prefix`, to `err`.
bool checkDateOrder(const SelectionOptions &selection, QTextStream &err, const QString &prefix = {});

// Reads a data file into `records`. False, with the file and the reason
// written to `err`, when it cannot be read.
bool readDataFileOrReport(const QString &fileName, RecordList &records, QTextStream &err);

using kov::csvField;
using kov::plainAmount;

} // namespace kov::cli

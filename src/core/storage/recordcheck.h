// Records that read but hold values KOV cannot use: a known key holding the
// wrong kind of value, a record without its name. Such records are kept as
// they are (a Change or Delete elsewhere writes them back untouched); the
// user is told once, in words, by the window at start-up and by kov-cli check.
#pragma once

#include <QStringList>

#include "storage/records.h"

namespace kov {

// One line per problem, in record order ("record 3: "ServiceDateKey" holds
// text, not a date"); records are counted from 1. Unknown keys are no problem.
QStringList recordProblems(const QString &fileName, const RecordList &records);

// The problems as one message: at most `shown` lines, then how many more.
QString describeRecordProblems(const QStringList &problems, int shown = 10);

} // namespace kov

// Reminder texts: any text parses without harm, and the text of a reminder
// leads back to exactly its task and property whenever neither name holds a
// carriage return. The input is the task's name, a NUL byte, the property's.
#include <QString>

#include <cstdint>
#include <cstring>

#include "due/reminderrules.h"
#include "fuzzcheck.h"

using namespace kov;
using kov::fuzz::check;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    parseReminderText(QString::fromUtf8(bytes, qsizetype(size)));

    const void *nul = std::memchr(bytes, 0, size);
    const size_t cut = nul ? size_t(static_cast<const char *>(nul) - bytes) : size;
    const QString task = QString::fromUtf8(bytes, qsizetype(cut));
    const QString property =
        cut < size ? QString::fromUtf8(bytes + cut + 1, qsizetype(size - cut - 1)) : QString();
    const QString text = reminderInformativeText(task, property);
    const std::optional<ReminderTarget> target = parseReminderText(text);
    if (task.contains(u'\r') || property.contains(u'\r'))
        return 0;
    check(target.has_value(), "a reminder's text names its task and property", text);
    check(target->task == task, "the task comes back",
          kov::fuzz::units(target->task) + QStringLiteral(" vs ") + kov::fuzz::units(task));
    check(target->property == property, "the property comes back",
          kov::fuzz::units(target->property) + QStringLiteral(" vs ") + kov::fuzz::units(property));
    return 0;
}

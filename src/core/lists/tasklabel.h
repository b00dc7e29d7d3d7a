// The recurrence interval of a service task as people read it.
#pragma once

#include <optional>

#include "storage/records.h"

namespace kov {

// "3 months", "1 day", "1,000 years"; "None" without a task or an interval.
QString copyTaskDescAndTimeLabel(const std::optional<Record> &task);

} // namespace kov

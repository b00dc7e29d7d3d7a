// Dates typed into a date field as a whole. A date field edits one section
// at a time and drops what does not fit the section, so typing 3/15/2024 over
// a selected 12/4/2024 would give some other date without a word. Here the
// first character typed opens a plain text entry over the field: over the
// whole field when its text was selected, otherwise from the section the
// cursor is in (the sections before it stay). Return, Tab or leaving the
// field reads the text in the locale's short format (sections not typed keep
// their value); a text that cannot be read is refused with the field marked,
// and the date stays as it was. Escape gives the field back unchanged.
#pragma once

#include <QDate>
#include <QString>

class QDateTimeEdit;

namespace kov {

// The date `text` names in `format` (a two-digit year reads as the one
// nearest today's, no more than 80 years back), or by ISO 8601; invalid when
// it names none.
QDate readTypedDate(const QString &text, const QString &format);

void enableTypedDates(QDateTimeEdit *field);

// The property a refused field carries (true) until it next holds a date
// typed or picked.
inline constexpr char refusedDateProperty[] = "kovRefusedDate";

} // namespace kov

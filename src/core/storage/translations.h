// Message texts: the English text is the key; a missing translation shows it.
#pragma once

class QCoreApplication;

namespace kov {

// Sets the organisation and application names (the preference store's
// domain) and loads the translation of the user's language when KOV has
// one; otherwise every text shows in English.
void setUpApplication(QCoreApplication &app);

} // namespace kov

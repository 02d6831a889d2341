#pragma once

class QCoreApplication;
class QLocale;

namespace tavlor {

// Loads Qt's own translation (standard buttons, the edit fields' menu) for the locale's
// languages from Qt's translation folder. The program's texts are German whatever the
// locale; Qt's texts follow the user's language. False when no translation was found.
bool InstallQtTranslations(QCoreApplication& application, const QLocale& locale);

} // namespace tavlor

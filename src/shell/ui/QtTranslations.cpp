#include "shell/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tavlor {

bool InstallQtTranslations(QCoreApplication& application, const QLocale& locale)
{
    auto* translator = new QTranslator(&application);
    // "qtbase" holds the texts of the Widgets module; load() tries each UI language in turn.
    // The Windows program carries German in its resources (no Qt is installed there); elsewhere
    // the system's Qt has every language.
    for (const QString& folder :
         {QStringLiteral(":/i18n"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            return QCoreApplication::installTranslator(translator);
        }
    }
    delete translator;
    return false;
}

} // namespace tavlor

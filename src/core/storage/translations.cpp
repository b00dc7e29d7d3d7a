#include "storage/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kov {

void setUpApplication(QCoreApplication &app)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tolvanderwerks"));
    QCoreApplication::setApplicationName(QStringLiteral("KOV"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KOV_VERSION_STRING));

    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(), QStringLiteral("kov"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    // Qt's own texts (the file dialog, a field's context menu) in the same
    // language, where the system has them.
    auto *qtTranslator = new QTranslator(&app);
    if (qtTranslator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
    else
        delete qtTranslator;
}

} // namespace kov

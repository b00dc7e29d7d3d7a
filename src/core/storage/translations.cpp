#include "storage/translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace kov {

void setUpApplication(QCoreApplication &app)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tolvanderwerks"));
    QCoreApplication::setApplicationName(QStringLiteral("KOV"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KOV_VERSION_STRING));

    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(), QStringLiteral("kov"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace kov

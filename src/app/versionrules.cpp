#include "app/versionrules.h"

#include <QCoreApplication>

#include "storage/utf8.h"

namespace kov {

QString productSiteUrl()
{
    // KOV_SITE_URL points a test or a mirror at another site.
    QString site = qEnvironmentVariable("KOV_SITE_URL", QStringLiteral("http://www.tolvanderwerks.com/"));
    if (!site.endsWith(u'/'))
        site += u'/';
    return site;
}

QString versionFileUrl()
{
    return productSiteUrl() + QStringLiteral("kov_version.txt");
}

QString productWebPageUrl()
{
    return productSiteUrl() + QStringLiteral("kov.htm");
}

const QString &runningVersionString()
{
    static const QString version = QStringLiteral(KOV_VERSION_STRING);
    return version;
}

std::optional<QString> decodeFetchedText(const QByteArray &bytes)
{
    if (bytes.size() > maxVersionFileBytes)
        return std::nullopt;
    if (!isValidUtf8(bytes.constData(), size_t(bytes.size())))
        return std::nullopt;
    QByteArrayView text(bytes);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    return QString::fromUtf8(text);
}

int compareVersionText(const QString &published, const QString &running)
{
    // By code point, so a character outside the BMP sorts after every BMP
    // character, as it does in UTF-32.
    const auto a = published.toUcs4();
    const auto b = running.toUcs4();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

VersionOutcome versionCheckOutcome(const std::optional<QString> &published,
                                   const QString &running)
{
    if (!published)
        return VersionOutcome::Failed;
    return compareVersionText(*published, running) > 0 ? VersionOutcome::Newer
                                                       : VersionOutcome::Current;
}

QString newVersionTitle(const QString &published)
{
    return QCoreApplication::translate("KOVAppDelegate", "A new version of KOV (") + published
        + QCoreApplication::translate("KOVAppDelegate", ") is available.");
}

QString currentVersionTitle(const QString &running)
{
    return QCoreApplication::translate("KOVAppDelegate", "This version of KOV (") + running
        + QCoreApplication::translate("KOVAppDelegate", ") is the current version.");
}

} // namespace kov

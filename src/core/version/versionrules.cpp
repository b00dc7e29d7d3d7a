#include "version/versionrules.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringDecoder>

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
    // QString::fromUtf8 would drop a second mark as well; it is text.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return QString(decoder.decode(text));
}

namespace {

// The code point at `i`, which moves past it; a lone surrogate stands for
// itself (toUcs4 would make every one U+FFFD, and so equal to U+FFFD).
char32_t nextCodePoint(const QString &s, qsizetype &i)
{
    const char16_t c = s.at(i++).unicode();
    if (QChar::isHighSurrogate(c) && i < s.size() && QChar::isLowSurrogate(s.at(i).unicode()))
        return QChar::surrogateToUcs4(c, s.at(i++).unicode());
    return c;
}

} // namespace

int compareVersionText(const QString &published, const QString &running)
{
    // By code point, so a character outside the BMP sorts after every BMP
    // character, as it does in UTF-32.
    qsizetype i = 0, j = 0;
    while (i < published.size() && j < running.size()) {
        const char32_t a = nextCodePoint(published, i);
        const char32_t b = nextCodePoint(running, j);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (i == published.size() && j == running.size())
        return 0;
    return i == published.size() ? -1 : 1;
}

std::optional<QString> publishedVersion(const std::optional<QString> &fetched)
{
    if (!fetched)
        return std::nullopt;
    static const QRegularExpression version(QStringLiteral("\\A[0-9]+(\\.[0-9]+)*[A-Za-z0-9+-]{0,8}\\z"));
    const QString text = fetched->trimmed();
    if (!version.match(text).hasMatch())
        return std::nullopt;
    return text;
}

VersionOutcome versionCheckOutcome(const std::optional<QString> &fetched, const QString &running)
{
    const std::optional<QString> published = publishedVersion(fetched);
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

// The version check and the product web page: Help > Check for New Version
// and Help > KOV Web Page.
#include "app/versioncheck.h"

#include <memory>
#include <optional>

#include <QEventLoop>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "version/versionrules.h"

using namespace kov;

namespace kov {

FetchResult fetchBytes(const QString &urlText, qint64 maxBytes, int timeoutMs)
{
    const QUrl url(urlText, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))
        || url.host().isEmpty())
        return {FetchStatus::NotAUrl, {}};

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    // Redirects are followed, but never from https down to http.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxFetchRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("KOV/") + runningVersionString());

    // Deleted before the manager that made it.
    const std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QByteArray bytes;
    std::optional<FetchStatus> verdict;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);

    const auto stop = [&](FetchStatus why) {
        if (verdict)
            return;
        verdict = why;
        reply->abort();
        loop.quit();
    };
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { stop(FetchStatus::TimedOut); });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &loop, [&](qint64, qint64 total) {
        if (total > maxBytes)
            stop(FetchStatus::TooLarge);
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        if (verdict)
            return;
        bytes += reply->readAll();
        if (bytes.size() > maxBytes)
            stop(FetchStatus::TooLarge);
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);

    deadline.start(timeoutMs);
    // The user waits (the fetch is the action), but clicks and keys are held
    // back so nothing re-enters the window meanwhile.
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();
    if (verdict)
        return {*verdict, {}};

    bytes += reply->readAll();
    if (bytes.size() > maxBytes)
        return {FetchStatus::TooLarge, {}};
    // 0 when no answer came; 3xx when redirects ran out or went unsafe.
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (code >= 400)
        return {FetchStatus::HttpError, {}};
    if (reply->error() != QNetworkReply::NoError || code < 200 || code > 299)
        return {FetchStatus::Failed, {}};
    return {FetchStatus::Fetched, bytes};
}

} // namespace kov

void KOVAppDelegate::newVersionCheck()
{
    checkForNewVersion();
}

void KOVAppDelegate::doLaunchURL()
{
    openProductWebPage();
}

int KOVAppDelegate::openURLString(const QString &urlText)
{
    const QUrl url(urlText, QUrl::StrictMode);
    if (urlText.isEmpty() || !url.isValid() || url.isRelative())
        return urlNotValidStatus;
    return openUrl(url) ? 0 : urlNotOpenedStatus;
}

std::optional<QString> KOVAppDelegate::copyTextFromURL(const QString &urlText)
{
    FetchResult fetched;
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        fetched = fetchBytes(urlText, maxVersionFileBytes, fetchTimeoutMs);
    }
    if (fetched.status != FetchStatus::Fetched)
        return std::nullopt;
    return decodeFetchedText(fetched.bytes);
}

void KOVAppDelegate::checkForNewVersion()
{
    const std::optional<QString> published = copyTextFromURL(versionFileUrl());
    const QString &running = runningVersionString();
    switch (versionCheckOutcome(published, running)) {
    case VersionOutcome::Failed:
        runModalAlert(AlertStyle::Informational, tr("Version check failed."),
                      tr("The KOV web site could not be contacted."), QStringLiteral("OK"));
        return;
    case VersionOutcome::Newer:
        if (runModalAlert(AlertStyle::Informational, newVersionTitle(*published),
                          tr("It can be downloaded from the KOV web site."), tr("Go to web site"), tr("Cancel"))
            == AlertFirstButtonReturn)
            openProductWebPage();
        return;
    case VersionOutcome::Current:
        runModalAlert(AlertStyle::Informational, currentVersionTitle(running), QString(), QStringLiteral("OK"));
        return;
    }
}

void KOVAppDelegate::openProductWebPage()
{
    if (openURLString(productWebPageUrl()) != 0)
        runModalAlert(AlertStyle::Informational,
                      tr("Unable to Find KOV web page, is there a live connection to the Web?"), QString(),
                      QStringLiteral("OK"));
}

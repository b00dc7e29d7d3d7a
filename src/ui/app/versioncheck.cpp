#include "app/versioncheck.h"

#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "app/alerts.h"
#include "version/versionrules.h"

namespace kov {

BoundedFetch::BoundedFetch(const QString &urlText, qint64 maxBytes, int timeoutMs, QObject *parent)
    : QObject(parent), maxBytes(maxBytes)
{
    const QUrl url(urlText, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) ||
        url.host().isEmpty()) {
        verdict = FetchStatus::NotAUrl;
        QMetaObject::invokeMethod(this, &BoundedFetch::done, Qt::QueuedConnection);
        return;
    }
    manager = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    // Redirects are followed, but never from https down to http.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxFetchRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("KOV/") + runningVersionString());
    reply = manager->get(request);
    deadline = new QTimer(this);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this] { stop(FetchStatus::TimedOut); });
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64, qint64 total) {
        if (total > this->maxBytes)
            stop(FetchStatus::TooLarge);
    });
    connect(reply, &QNetworkReply::readyRead, this, [this] {
        if (verdict)
            return;
        bytes += reply->readAll();
        if (bytes.size() > this->maxBytes)
            stop(FetchStatus::TooLarge);
    });
    connect(reply, &QNetworkReply::finished, this, &BoundedFetch::done);
    deadline->start(timeoutMs);
}

void BoundedFetch::stop(FetchStatus why)
{
    if (verdict)
        return;
    verdict = why;
    // abort() finishes the reply, which ends the fetch.
    reply->abort();
}

void BoundedFetch::done()
{
    if (ended)
        return;
    ended = true;
    if (deadline)
        deadline->stop();
    FetchResult result;
    if (verdict) {
        result.status = *verdict;
    } else {
        bytes += reply->readAll();
        // 0 when no answer came; 3xx when redirects ran out or went unsafe.
        const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (bytes.size() > maxBytes)
            result.status = FetchStatus::TooLarge;
        else if (code >= 400)
            result.status = FetchStatus::HttpError;
        else if (reply->error() != QNetworkReply::NoError || code < 200 || code > 299)
            result.status = FetchStatus::Failed;
        else
            result = {FetchStatus::Fetched, bytes};
    }
    Q_EMIT finished(result);
    deleteLater();
}

VersionCheck::VersionCheck(QObject *parent) : QObject(parent) {}

int VersionCheck::openURLString(const QString &urlText)
{
    const QUrl url(urlText, QUrl::StrictMode);
    if (urlText.isEmpty() || !url.isValid() || url.isRelative())
        return urlNotValidStatus;
    return openUrl(url) ? 0 : urlNotOpenedStatus;
}

void VersionCheck::copyTextFromURL(const QString &urlText, std::function<void(std::optional<QString>)> done)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto *fetch = new BoundedFetch(urlText, maxVersionFileBytes, fetchTimeoutMs, this);
    connect(fetch, &BoundedFetch::finished, this, [done = std::move(done)](const FetchResult &result) {
        QGuiApplication::restoreOverrideCursor();
        if (result.status != FetchStatus::Fetched)
            done(std::nullopt);
        else
            done(decodeFetchedText(result.bytes));
    });
}

void VersionCheck::checkForNewVersion()
{
    if (checking)
        return;
    checking = true;
    copyTextFromURL(versionFileUrl(), [this](std::optional<QString> fetched) {
        checking = false;
        const std::optional<QString> published = publishedVersion(fetched);
        const QString &running = runningVersionString();
        switch (versionCheckOutcome(published, running)) {
        case VersionOutcome::Failed:
            runModalAlert(AlertStyle::Informational, tr("Version check failed."),
                          tr("The KOV web site could not be contacted."), QStringLiteral("OK"));
            break;
        case VersionOutcome::Newer:
            if (runModalAlert(AlertStyle::Informational, newVersionTitle(*published),
                              tr("It can be downloaded from the KOV web site."), tr("Go to web site"),
                              tr("Cancel")) == AlertFirstButtonReturn)
                openProductWebPage();
            break;
        case VersionOutcome::Current:
            runModalAlert(AlertStyle::Informational, currentVersionTitle(running), QString(),
                          QStringLiteral("OK"));
            break;
        }
        Q_EMIT checkFinished();
    });
}

void VersionCheck::openProductWebPage()
{
    if (openURLString(productWebPageUrl()) != 0)
        runModalAlert(AlertStyle::Informational,
                      tr("Unable to Find KOV web page, is there a live connection to the Web?"),
                      // Where no browser answers, the address is there to copy.
                      tr("The page is at %1").arg(productWebPageUrl()), QStringLiteral("OK"));
}

} // namespace kov

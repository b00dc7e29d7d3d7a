// Help ▸ Check for New Version and Help ▸ KOV Web Page. The version file is
// fetched in the background, bounded in size and time, so a dead or hostile
// server can neither hold the window nor fill memory.
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace kov {

// openURLString's statuses besides 0 (opened).
inline constexpr int urlNotValidStatus = -50;
inline constexpr int urlNotOpenedStatus = -1;

// Redirects followed before a fetch gives up.
inline constexpr int maxFetchRedirects = 5;

enum class FetchStatus {
    Fetched,   // a 2xx answer, all of it in bytes
    NotAUrl,   // not an http or https URL
    Failed,    // no connection, refused, reset, too many redirects
    HttpError, // the server answered with an error status
    TooLarge,  // more than maxBytes arrived or were announced
    TimedOut,  // no complete answer within the time allowed
};

struct FetchResult {
    FetchStatus status = FetchStatus::Failed;
    QByteArray bytes; // only when Fetched
};

// One bounded fetch; finished() comes once, from the event loop, and the
// object then deletes itself.
class BoundedFetch : public QObject {
    Q_OBJECT
public:
    BoundedFetch(const QString &urlText, qint64 maxBytes, int timeoutMs, QObject *parent = nullptr);

Q_SIGNALS:
    void finished(const kov::FetchResult &result);

private:
    void stop(FetchStatus why);
    void done();

    qint64 maxBytes;
    QNetworkAccessManager *manager = nullptr;
    QNetworkReply *reply = nullptr;
    QTimer *deadline = nullptr;
    QByteArray bytes;
    std::optional<FetchStatus> verdict;
    bool ended = false;
};

class VersionCheck : public QObject {
    Q_OBJECT
public:
    explicit VersionCheck(QObject *parent = nullptr);

    // Fetches the published version and tells the user how it compares;
    // returns at once. A second request while one runs is ignored.
    void checkForNewVersion();
    void openProductWebPage();
    // 0 opened; -50 not a valid URL; otherwise the opener's failure status.
    static int openURLString(const QString &urlText);
    // Calls `done` with the resource's text as UTF-8, or none when the site
    // cannot be reached, answers with an error, sends too much, takes too
    // long or sends no UTF-8. The busy cursor shows meanwhile.
    void copyTextFromURL(const QString &urlText, std::function<void(std::optional<QString>)> done);

    // How long a fetch waits for the whole answer, in ms.
    int fetchTimeoutMs = 15000;

Q_SIGNALS:
    // The check has told the user its outcome.
    void checkFinished();

private:
    bool checking = false;
};

} // namespace kov

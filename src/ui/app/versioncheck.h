// Fetching a small file from the product's web site for the version check:
// bounded in size and time so a dead or hostile server cannot hold the
// window or fill memory.
#pragma once

#include <QByteArray>
#include <QString>

namespace kov {

// openURLString's statuses besides 0 (opened).
inline constexpr int urlNotValidStatus = -50;
inline constexpr int urlNotOpenedStatus = -1;

// Redirects followed before a fetch gives up.
inline constexpr int maxFetchRedirects = 5;

enum class FetchStatus {
    Fetched,    // a 2xx answer, all of it in bytes
    NotAUrl,    // not an http or https URL
    Failed,     // no connection, refused, reset, too many redirects
    HttpError,  // the server answered with an error status
    TooLarge,   // more than maxBytes arrived or were announced
    TimedOut,   // no complete answer within the time allowed
};

struct FetchResult {
    FetchStatus status = FetchStatus::Failed;
    QByteArray bytes;  // only when Fetched
};

// Fetches `urlText`, waiting in a local event loop that takes no user input.
FetchResult fetchBytes(const QString &urlText, qint64 maxBytes, int timeoutMs);

} // namespace kov

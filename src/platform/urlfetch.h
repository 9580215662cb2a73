#pragma once
// Synchronous HTTP(S) download over libcurl. The call blocks, but it hands
// control to options.yield between network rounds so the window stays live.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>

namespace platform {

struct FetchOptions {
    QByteArray userAgent = "Mozilla";
    int connectTimeoutSec = 30;          // finite connect time-out
    int idleTimeoutSec = 60;             // give up when no byte arrives for this long
    int totalTimeoutSec = 600;           // hard cap for the whole transfer
    qint64 maxBytes = 16 * 1024 * 1024;  // stop reading past this (what arrived is kept); <= 0: no cap
    std::function<void()> yield;         // called between reads and while waiting; may be empty
    // Asked after every yield; true ends the transfer at once (ok false).
    std::function<bool()> cancelled;
    // Test-only: host name (lower case) -> port on 127.0.0.1. Applies to
    // every port of that host, redirects included, so nothing leaks out.
    QHash<QString, quint16> connectOverride;
};

struct FetchResult {
    bool ok = false;         // the transfer completed; an error page still counts
    long httpStatus = 0;     // last response's status, 0 when none arrived
    QByteArray body;         // decoded body; on failure whatever arrived
    QString error;           // set only when ok is false
    bool truncated = false;  // reading stopped at maxBytes
};

// Safe to call again from inside options.yield: each call owns its handles.
FetchResult fetchUrl(const QString &url, const FetchOptions &options);

} // namespace platform

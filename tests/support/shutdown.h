#pragma once
// Closing windows while a fetch of theirs waits on a silent server, with the
// application's own event loop running and quitting as in the program.

#include <QCoreApplication>
#include <QTimer>
#include <functional>

#include "support/testhttpserver.h"
#include "workspace/context.h"

namespace testsupport {

// Gives ctx the program's fetch limits and its way to end, then runs the
// application's event loop with start() called from it and close() once the
// server has seen a new request. True when the loop ended within limitMs
// (well below the fetch's own limits). Past the limit the server lets go of
// every connection and the loop is told to end: the answer is then false.
inline bool quitsAfterClose(tarnwick::AppContext &ctx, TestHttpServer &server, const std::function<void()> &start,
                            const std::function<void()> &close, int limitMs = 5000)
{
    ctx.fetchOptions.idleTimeoutSec = 60;
    ctx.fetchOptions.totalTimeoutSec = 600;
    ctx.endProgram = [] { QCoreApplication::quit(); };
    const int before = server.requestCount();
    bool closed = false;
    bool late = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!closed && server.requestCount() > before) {
            closed = true;
            close();
        }
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        late = true;
        server.stop();
        QCoreApplication::quit();
    });
    QTimer::singleShot(0, qApp, start);
    poll.start(5);
    limit.start(limitMs);
    QCoreApplication::exec();
    return closed && !late;
}

} // namespace testsupport

#include "platform/urlfetch.h"

#include <QUrl>

#include <curl/curl.h>

#include <mutex>

namespace platform {

namespace {

constexpr int kPollMs = 50;
constexpr long kMaxRedirects = 20;

void ensureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct WriteContext {
    QByteArray *body = nullptr;
    qint64 maxBytes = 0;
    bool truncated = false;
};

size_t writeBody(char *data, size_t size, size_t count, void *userData)
{
    auto *ctx = static_cast<WriteContext *>(userData);
    const qint64 n = qint64(size * count);
    if (ctx->maxBytes > 0) {
        const qint64 room = ctx->maxBytes - ctx->body->size();
        if (n > room) {
            if (room > 0)
                ctx->body->append(data, room);
            ctx->truncated = true;
            return 0;  // curl aborts with CURLE_WRITE_ERROR
        }
    }
    ctx->body->append(data, n);
    return size_t(n);
}

// Owns everything one call allocates, so an exception thrown by the yield
// callback cannot leak handles.
struct Handles {
    CURL *easy = nullptr;
    CURLM *multi = nullptr;
    curl_slist *headers = nullptr;
    curl_slist *connectTo = nullptr;
    bool added = false;

    Handles() = default;
    Handles(const Handles &) = delete;
    Handles &operator=(const Handles &) = delete;
    ~Handles()
    {
        if (multi && easy && added)
            curl_multi_remove_handle(multi, easy);
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi);
        curl_slist_free_all(headers);
        curl_slist_free_all(connectTo);
    }
};

// curl refuses spaces and raw non-ASCII; links scraped from pages have both.
QByteArray encodedUrl(const QString &url)
{
    const QUrl parsed(url.trimmed(), QUrl::TolerantMode);
    if (parsed.isValid() && !parsed.scheme().isEmpty())
        return parsed.toEncoded();
    return url.trimmed().toUtf8();
}

bool appendList(curl_slist *&list, const QByteArray &line)
{
    curl_slist *grown = curl_slist_append(list, line.constData());
    if (!grown)
        return false;
    list = grown;
    return true;
}

} // namespace

FetchResult fetchUrl(const QString &url, const FetchOptions &options)
{
    ensureCurlInitialised();

    FetchResult result;
    Handles h;
    h.easy = curl_easy_init();
    h.multi = curl_multi_init();
    if (!h.easy || !h.multi) {
        result.error = QStringLiteral("could not create a transfer");
        return result;
    }

    char errorBuffer[CURL_ERROR_SIZE] = {};
    WriteContext ctx{&result.body, options.maxBytes, false};
    const QByteArray target = encodedUrl(url);
    const QByteArray agent = options.userAgent;

    if (!appendList(h.headers, "Cache-Control: no-cache") || !appendList(h.headers, "Pragma: no-cache")) {
        result.error = QStringLiteral("out of memory");
        return result;
    }
    // An empty port matches every port, so redirects to an overridden host
    // stay on loopback as well.
    for (auto it = options.connectOverride.cbegin(); it != options.connectOverride.cend(); ++it) {
        const QByteArray entry = it.key().toLower().toUtf8() + "::127.0.0.1:" + QByteArray::number(it.value());
        if (!appendList(h.connectTo, entry)) {
            result.error = QStringLiteral("out of memory");
            return result;
        }
    }

    CURL *e = h.easy;
    curl_easy_setopt(e, CURLOPT_URL, target.constData());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_USERAGENT, agent.constData());
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, h.headers);
    curl_easy_setopt(e, CURLOPT_PROXY, "");
    curl_easy_setopt(e, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(e, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, long(qMax(1, options.connectTimeoutSec)));
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, long(qMax(1, options.idleTimeoutSec)));
    curl_easy_setopt(e, CURLOPT_TIMEOUT, long(qMax(1, options.totalTimeoutSec)));
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &ctx);
    if (h.connectTo)
        curl_easy_setopt(e, CURLOPT_CONNECT_TO, h.connectTo);

    if (curl_multi_add_handle(h.multi, e) != CURLM_OK) {
        result.error = QStringLiteral("could not start the transfer");
        return result;
    }
    h.added = true;

    int running = 0;
    CURLMcode mc = curl_multi_perform(h.multi, &running);
    while (mc == CURLM_OK && running > 0) {
        mc = curl_multi_poll(h.multi, nullptr, 0, kPollMs, nullptr);
        if (mc != CURLM_OK)
            break;
        if (options.yield)
            options.yield();
        if (options.cancelled && options.cancelled()) {
            result.error = QStringLiteral("cancelled");
            return result;
        }
        mc = curl_multi_perform(h.multi, &running);
    }

    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    result.truncated = ctx.truncated;

    if (mc != CURLM_OK) {
        result.error = QString::fromUtf8(curl_multi_strerror(mc));
        return result;
    }

    CURLcode code = CURLE_OK;
    bool done = false;
    int queued = 0;
    while (CURLMsg *msg = curl_multi_info_read(h.multi, &queued)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == e) {
            code = msg->data.result;
            done = true;
        }
    }
    if (!done) {
        result.error = QStringLiteral("transfer ended without a result");
        return result;
    }

    if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && ctx.truncated)) {
        result.ok = true;
        return result;
    }
    result.error = errorBuffer[0] ? QString::fromUtf8(errorBuffer) : QString::fromUtf8(curl_easy_strerror(code));
    return result;
}

} // namespace platform

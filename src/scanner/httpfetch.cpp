#include "scanner/httpfetch.h"

#include "scanner/linkrules.h"

#include <QHash>

#include <limits>
#include <utility>

namespace tarnwick {

namespace {

// The lines of a header as split at LF gives them, without copying them.
template<typename Visit>
void forEachLine(QByteArrayView text, Visit visit)
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype end = text.indexOf('\n', from);
        if (!visit(text.sliced(from, (end < 0 ? text.size() : end) - from)) || end < 0)
            return;
        from = end + 1;
    }
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

// text, its ASCII letters in lower case, equals lower.
bool equalsLowered(QByteArrayView text, QByteArrayView lower)
{
    if (text.size() != lower.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (asciiLower(text[i]) != lower[i])
            return false;
    }
    return true;
}

// text, its ASCII letters in lower case, contains lower.
bool containsLowered(QByteArrayView text, QByteArrayView lower)
{
    for (qsizetype i = 0; i + lower.size() <= text.size(); ++i) {
        if (equalsLowered(text.sliced(i, lower.size()), lower))
            return true;
    }
    return false;
}

QString trimBlanks(const QString &s)
{
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && s.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && s.at(to - 1) == QLatin1Char(' '))
        --to;
    return s.mid(from, to - from);
}

} // namespace

PageAddress splitPageAddress(const QString &queuedUrl)
{
    QString url = queuedUrl;
    bool trailingSlash = false;
    if (url.endsWith(QLatin1Char('/'))) {
        trailingSlash = url.count(QLatin1Char('/')) >= 2;
        url.chop(1);
    }
    url.remove(QLatin1String("http://"), Qt::CaseInsensitive);
    url.remove(QLatin1String("https://"), Qt::CaseInsensitive);

    PageAddress a;
    a.url = url;
    a.curUrl = url;

    QString dir = url;
    const qsizetype last = url.lastIndexOf(QLatin1Char('/'));
    if (last >= 0) {
        const QString tail = url.mid(last);
        if (!tail.contains(QLatin1Char('.')) && tail != QLatin1String("/"))
            dir += QLatin1Char('/');
    }
    if (!dir.endsWith(QLatin1Char('/')))
        dir = getBaseDir(dir);
    a.curDir = dir;

    const qsizetype first = url.indexOf(QLatin1Char('/'));
    QString host;
    QString path;
    if (first >= 0) {
        host = url.left(first + 1);
        path = url.mid(first + 1);
        if (trailingSlash)
            path += QLatin1Char('/');
    } else {
        host = url;
        path = QStringLiteral("/");
    }
    host.remove(QLatin1Char('/'));
    if (path.isEmpty())
        path = QStringLiteral("/");
    else if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    a.host = host;
    a.path = path;
    return a;
}

ConnectTarget connectTargetOf(const QString &hostText)
{
    ConnectTarget t;
    t.hostName = hostText;
    const qsizetype colon = hostText.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return t;
    const QString digits = hostText.mid(colon + 1);
    if (digits.isEmpty() || digits.size() > 5)
        return t;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return t;
    }
    const int port = digits.toInt();
    if (port < 1 || port > 65535)
        return t;
    t.hostName = hostText.left(colon);
    t.port = quint16(port);
    return t;
}

QByteArray encodeRequestPath(const QString &path)
{
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray bytes = path.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const uchar c = uchar(ch);
        if (c < 0x21 || c == 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

QByteArray buildHttpRequest(const QString &host, const QString &path)
{
    return "GET " + encodeRequestPath(path) + " HTTP/1.1\r\nHost: " + host.toUtf8()
           + "\r\nConnection: close\r\nAccept: */*\r\n\r\n";
}

qsizetype findHeaderEnd(const QByteArray &data, qsizetype from)
{
    return data.indexOf("\r\n\r\n", qMax<qsizetype>(0, from));
}

QByteArray responseHeader(const QByteArray &response)
{
    const qsizetype end = findHeaderEnd(response);
    return end >= 0 ? response.left(end + 4) : response.left(3);
}

bool isChunkedResponse(const QByteArray &header)
{
    bool chunked = false;
    bool statusLine = true;
    forEachLine(header, [&](QByteArrayView line) {
        if (std::exchange(statusLine, false))
            return true;
        line = line.trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.first(colon).trimmed().compare("Transfer-Encoding", Qt::CaseInsensitive) == 0
            && containsLowered(line.sliced(colon + 1), "chunked"))
            chunked = true;
        return !chunked;
    });
    return chunked;
}

namespace {

// Longer than this, a size line is not one: the body is not chunked after
// all (and a stream without line ends is not searched again and again).
constexpr qsizetype kMaxChunkSizeLine = 4096;

// One chunk of a chunked body, read from the start of its size line.
struct Chunk {
    enum class Kind {
        Data,       // a whole chunk; next is the following size line
        Last,       // the last ("0") chunk's size line
        CutShort,   // the rest has not arrived (its data so far is given)
        Malformed,  // no size line here
    };
    Kind kind = Kind::CutShort;
    qsizetype dataStart = 0;
    qsizetype dataSize = 0;
    qsizetype next = 0;
};

Chunk readChunk(const QByteArray &body, qsizetype pos)
{
    Chunk c;
    const qsizetype window = qMin(body.size() - pos, kMaxChunkSizeLine);
    const qsizetype lineLength = QByteArrayView(body).sliced(pos, window).indexOf('\n');
    if (lineLength < 0) {
        if (window == kMaxChunkSizeLine)
            c.kind = Chunk::Kind::Malformed;
        return c;
    }
    QByteArray sizeLine = body.mid(pos, lineLength);
    if (sizeLine.endsWith('\r'))
        sizeLine.chop(1);
    const qsizetype semicolon = sizeLine.indexOf(';');
    if (semicolon >= 0)
        sizeLine.truncate(semicolon);
    sizeLine = sizeLine.trimmed();
    bool ok = false;
    const qint64 size = sizeLine.toLongLong(&ok, 16);
    if (!ok || size < 0 || sizeLine.isEmpty()) {
        c.kind = Chunk::Kind::Malformed;
        return c;
    }
    pos += lineLength + 1;
    if (size == 0) {
        c.kind = Chunk::Kind::Last;
        c.next = pos;
        return c;
    }
    c.dataStart = pos;
    c.dataSize = qMin<qint64>(size, body.size() - pos);
    pos += c.dataSize;
    const QByteArrayView rest = QByteArrayView(body).sliced(pos, qMin<qsizetype>(2, body.size() - pos));
    // The data, and its line end, must be complete before the next size line.
    if (c.dataSize < size || (rest.size() < 2 && QByteArrayView("\r\n").startsWith(rest)))
        return c;
    if (rest == "\r\n")
        pos += 2;
    else if (rest.startsWith('\n'))
        pos += 1;
    c.kind = Chunk::Kind::Data;
    c.next = pos;
    return c;
}

} // namespace

QByteArray decodeChunkedBody(const QByteArray &body)
{
    QByteArray out;
    out.reserve(body.size());
    qsizetype pos = 0;
    while (pos < body.size()) {
        const Chunk c = readChunk(body, pos);
        if (c.kind == Chunk::Kind::Malformed) {
            // Not chunked after all: keep the rest as it stands.
            out += QByteArrayView(body).sliced(pos);
            break;
        }
        out += QByteArrayView(body).sliced(c.dataStart, c.dataSize);
        if (c.kind != Chunk::Kind::Data)
            break;
        pos = c.next;
    }
    return out;
}

bool chunkedBodyEnded(const QByteArray &data, qsizetype &from)
{
    while (from >= 0 && from < data.size()) {
        const Chunk c = readChunk(data, from);
        switch (c.kind) {
        case Chunk::Kind::Last:
            return true;
        case Chunk::Kind::Data:
            from = c.next;
            break;
        case Chunk::Kind::CutShort:
            return false;
        case Chunk::Kind::Malformed:
            from = -1;
            return false;
        }
    }
    return false;
}

QByteArray responseBody(const QByteArray &response)
{
    const QByteArray header = responseHeader(response);
    QByteArray body = response.mid(header.size());
    if (isChunkedResponse(header))
        body = decodeChunkedBody(body);
    return body;
}

qint64 contentLengthOf(const QByteArray &headerLines)
{
    qint64 length = 0;
    forEachLine(headerLines, [&](QByteArrayView line) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.contains("Content-Length"))
            return true;
        const qsizetype blank = line.indexOf(' ');
        if (blank >= 0) {
            // The integer value of the text: its leading digits.
            const QByteArrayView rest = line.sliced(blank + 1).trimmed();
            qsizetype n = 0;
            while (n < rest.size() && n < 18 && rest.at(n) >= '0' && rest.at(n) <= '9')
                ++n;
            length = n == 0 ? 0 : rest.first(n).toLongLong();
        }
        return false;
    });
    return length;
}

qint64 declaredBodyLength(const QByteArray &headerLines)
{
    qint64 length = -1;
    bool chunked = false;
    forEachLine(headerLines, [&](QByteArrayView line) {
        line = line.trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            return true;
        const QByteArrayView name = line.first(colon).trimmed();
        const QByteArrayView value = line.sliced(colon + 1).trimmed();
        if (equalsLowered(name, "transfer-encoding") && containsLowered(value, "chunked")) {
            chunked = true;
            return false;
        }
        if (!equalsLowered(name, "content-length") || length >= 0)
            return true;
        bool ok = false;
        const qint64 n = value.toLongLong(&ok);
        if (ok && n >= 0)
            length = n;
        return true;
    });
    return chunked ? -1 : length;
}

QString statusCodeOf(const QString &header)
{
    const qsizetype first = header.indexOf(QLatin1Char(' '));
    if (first < 0)
        return QString();
    const QString rest = header.mid(first + 1);
    const qsizetype second = rest.indexOf(QLatin1Char(' '));
    if (second < 0)
        return QString();
    return trimBlanks(rest.left(second + 1));
}

QString httpStatusText(const QString &code)
{
    static const QHash<QString, QString> table = {
        {QStringLiteral("400"), QStringLiteral("400 Bad request")},
        {QStringLiteral("401"), QStringLiteral("401 Unauthorized")},
        {QStringLiteral("402"), QStringLiteral("402 PaymentRequired")},
        {QStringLiteral("403"), QStringLiteral("403 Forbidden")},
        {QStringLiteral("404"), QStringLiteral("404 Not found")},
        {QStringLiteral("405"), QStringLiteral("405 Method Not Allowed")},
        {QStringLiteral("406"), QStringLiteral("406 Not Acceptable")},
        {QStringLiteral("407"), QStringLiteral("407 Proxy Authentication Required")},
        {QStringLiteral("408"), QStringLiteral("408 request timeout")},
        {QStringLiteral("409"), QStringLiteral("409 Conflict")},
        {QStringLiteral("410"), QStringLiteral("410 Gone")},
        {QStringLiteral("411"), QStringLiteral("411 Length Required")},
        {QStringLiteral("412"), QStringLiteral("412 Precondition Failed")},
        {QStringLiteral("413"), QStringLiteral("413 Request Entity Too Large")},
        {QStringLiteral("414"), QStringLiteral("414 Request-URI Too Long")},
        {QStringLiteral("415"), QStringLiteral("415 Unsupported Media Type")},
        {QStringLiteral("500"), QStringLiteral("500 Internal Error")},
        {QStringLiteral("501"), QStringLiteral("501 Not implemented")},
        {QStringLiteral("502"), QStringLiteral("502 Bad Gateway")},
        {QStringLiteral("503"), QStringLiteral("503 Service Unavailable")},
        {QStringLiteral("504"), QStringLiteral("504 Gateway timeout")},
        {QStringLiteral("505"), QStringLiteral("505 HTTP Not Version")},
    };
    return table.value(code);
}

QStringList parseFileTypes(const QString &text)
{
    QStringList types;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        for (const QString &entry : line.split(QLatin1Char('|'))) {
            // An empty entry would match every link.
            if (!entry.isEmpty())
                types << entry;
        }
    }
    return types;
}

int linksExpectedOf(const QString &cell)
{
    bool ok = false;
    const int n = cell.trimmed().toInt(&ok);
    return ok ? n : 1;
}

} // namespace tarnwick

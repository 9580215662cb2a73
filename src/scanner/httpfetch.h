#pragma once
// Text rules of the scanner's own HTTP client and of scan control: how a
// queued page URL becomes host, path and directory, the request text, the
// parts of a response, the status table, and a few small conversions.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarnwick {

// What the client derives from a page URL taken from the queue.
struct PageAddress {
    QString url;     // the URL without its scheme (and a dropped final "/")
    QString curUrl;  // the page, the found-on form
    QString curDir;  // its directory, ending in "/"
    QString host;    // host text without "/"; may end in ":port"
    QString path;    // request path, starting with "/"
};
PageAddress splitPageAddress(const QString &queuedUrl);

// Host text "name:digits" connects to that port, anything else to port 80
// with the whole text as the name (a name the socket then refuses).
struct ConnectTarget {
    QString hostName;
    quint16 port = 80;
};
ConnectTarget connectTargetOf(const QString &hostText);

// The path as it goes on the request line: bytes below 0x21 and 0x7F
// percent-encoded, everything else as it stands (UTF-8).
QByteArray encodeRequestPath(const QString &path);
QByteArray buildHttpRequest(const QString &host, const QString &path);

// Index of the first CR LF CR LF at or after from, or -1.
qsizetype findHeaderEnd(const QByteArray &data, qsizetype from = 0);
// The header up to and including the blank line; without one, the first
// three bytes.
QByteArray responseHeader(const QByteArray &response);
// The response without its header (removed once, as its leading part), a
// chunked body decoded.
QByteArray responseBody(const QByteArray &response);
bool isChunkedResponse(const QByteArray &header);
// Decodes as much as is well formed; a body cut short keeps what arrived,
// a malformed size line keeps the rest as it stands.
QByteArray decodeChunkedBody(const QByteArray &body);
// Whether the chunked body in data, read from the size line at from, has
// reached its last ("0") chunk. from moves past the chunks that arrived
// whole, so the next call goes on from there; it becomes -1 when the body
// turns out not to be chunked (only the close ends it then).
bool chunkedBodyEnded(const QByteArray &data, qsizetype &from);
// The value of the first header line that holds "Content-Length" (exact
// case): the number after the line's first blank; 0 when there is none.
qint64 contentLengthOf(const QByteArray &headerLines);

// The length of the body a complete response has, from a "Content-Length"
// header line in any letter case; -1 when the header gives none (a chunked
// body ends at its last chunk, any other only at the server's close).
qint64 declaredBodyLength(const QByteArray &headerLines);

// The status code as the status test reads it from the header: the text
// between the first and the second blank, blanks trimmed; "" when either
// blank is missing.
QString statusCodeOf(const QString &header);
// The error text of a listed HTTP status code ("404" -> "404 Not found");
// "" for every other code.
QString httpStatusText(const QString &code);

// The page extensions of filetypes.txt: blank lines skipped, entries split
// at "|", no empty entry.
QStringList parseFileTypes(const QString &text);

// Links expected from a "#" cell; 1 when the cell is not a whole number.
int linksExpectedOf(const QString &cell);

} // namespace tarnwick

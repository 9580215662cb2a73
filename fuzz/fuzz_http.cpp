// Responses of partner servers: header, body, chunks and the status as the
// scanner reads them.

#include <cstdlib>

#include "scanner/httpfetch.h"
#include "scanner/pagetext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray response(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype end = tarnwick::findHeaderEnd(response);
    if (end >= 0 && end + 4 > response.size())
        std::abort();
    const QByteArray header = tarnwick::responseHeader(response);
    const QByteArray body = tarnwick::responseBody(response);
    if (body.size() > response.size())
        std::abort();
    if (tarnwick::decodeChunkedBody(response).size() > response.size())
        std::abort();
    tarnwick::isChunkedResponse(header);
    tarnwick::contentLengthOf(header);
    const QString headerText = QString::fromLatin1(header);
    tarnwick::httpStatusText(tarnwick::statusCodeOf(headerText));
    tarnwick::isRedirectStatus(tarnwick::responseStatus(headerText), tarnwick::responseLocation(headerText));
    tarnwick::parseFileTypes(QString::fromLatin1(response));
    return 0;
}

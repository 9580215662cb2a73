#include "exchange/emailexport.h"

namespace tarnwick {

QString emailExportDelimiter(int outputType, bool spaceAfterSemicolon)
{
    switch (outputType) {
    case 1:
        return QStringLiteral("\t");
    case 2:
        return QStringLiteral("\r\n");
    default:
        return spaceAfterSemicolon ? QStringLiteral("; ") : QStringLiteral(";");
    }
}

QByteArray emailExportBytes(const QStringList &addresses, const QString &delimiter)
{
    QString text;
    for (const QString &address : addresses)
        text += address + delimiter;
    text += QStringLiteral("\r\n");
    return text.toUtf8();
}

} // namespace tarnwick

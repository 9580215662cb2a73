#include "platform/textfile.h"

#include <QFileInfo>

#include <algorithm>

#include "platform/safefile.h"
#include "platform/services.h"

namespace platform {

namespace {

constexpr qint64 kChunk = 1 << 20;

QStringDecoder decoderFor(TextEncoding e)
{
    switch (e) {
    case TextEncoding::Utf16LE: return QStringDecoder(QStringDecoder::Utf16LE);
    case TextEncoding::Utf16BE: return QStringDecoder(QStringDecoder::Utf16BE);
    default: return QStringDecoder(QStringDecoder::Utf8);
    }
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == QChar(0xFEFF);
}

} // namespace

std::optional<TextEncoding> announcedEncoding(const QByteArray &head, int *bomSize)
{
    auto found = [bomSize](TextEncoding e, int size) {
        if (bomSize)
            *bomSize = size;
        return std::optional<TextEncoding>(e);
    };
    if (head.startsWith("\xEF\xBB\xBF"))
        return found(TextEncoding::Utf8, 3);
    if (head.startsWith("\xFF\xFE"))
        return found(TextEncoding::Utf16LE, 2);
    if (head.startsWith("\xFE\xFF"))
        return found(TextEncoding::Utf16BE, 2);
    // Text in UTF-16 has a NUL in the high byte of nearly every Latin
    // character, and hardly ever in the low one.
    qsizetype evenNuls = 0;
    qsizetype oddNuls = 0;
    const qsizetype pairs = head.size() / 2;
    for (qsizetype i = 0; i < pairs * 2; i += 2) {
        evenNuls += head[i] == 0;
        oddNuls += head[i + 1] == 0;
    }
    if (pairs >= 2 && oddNuls * 2 >= pairs && evenNuls * 16 <= oddNuls)
        return found(TextEncoding::Utf16LE, 0);
    if (pairs >= 2 && evenNuls * 2 >= pairs && oddNuls * 16 <= evenNuls)
        return found(TextEncoding::Utf16BE, 0);
    return std::nullopt;
}

QString decodeTextFile(const QByteArray &bytes)
{
    int bom = 0;
    const std::optional<TextEncoding> e = announcedEncoding(bytes.left(kChunk), &bom);
    if (e && *e != TextEncoding::Utf8)
        return decoderFor(*e).decode(QByteArrayView(bytes).sliced(bom));
    return decodeText(bytes.mid(bom));
}

bool TextFileReader::open(const QString &path, QString *error)
{
    auto refuse = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!openForReading(m_file, path, error))
        return false;
    int bom = 0;
    const std::optional<TextEncoding> announced = announcedEncoding(m_file.peek(kChunk), &bom);
    m_encoding = announced.value_or(TextEncoding::Utf8);

    // One pass ahead settles what the lines cannot tell until the end: is
    // all of it UTF-8, does it hold NULs, does it hold any text.
    QStringDecoder check = decoderFor(m_encoding);
    m_file.seek(bom);
    while (!m_file.atEnd()) {
        const QByteArray bytes = m_file.read(kChunk);
        if (bytes.isEmpty())
            return refuse(m_file.errorString());
        const QString text = check.decode(bytes);
        if (check.hasError())
            break;
        m_nulCount += text.count(QChar(0));
        if (!m_hasText)
            m_hasText = std::any_of(text.begin(), text.end(), [](QChar c) { return !c.isNull() && !isBlank(c); });
    }
    if (check.hasError()) {
        // Not UTF-8 after all: a byte is a character.
        m_encoding = TextEncoding::Windows1252;
        m_nulCount = 0;
        m_hasText = false;
        m_file.seek(0);
        while (!m_file.atEnd()) {
            const QByteArray bytes = m_file.read(kChunk);
            if (bytes.isEmpty())
                return refuse(m_file.errorString());
            m_nulCount += bytes.count('\0');
            if (!m_hasText)
                m_hasText = std::any_of(bytes.begin(), bytes.end(), [](char c) {
                    return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\0';
                });
        }
        bom = 0;
    }
    if (m_encoding != TextEncoding::Windows1252)
        m_decoder = decoderFor(m_encoding);
    m_file.seek(bom);
    return true;
}

QString TextFileReader::decode(const QByteArray &bytes, bool last)
{
    if (m_decoder) {
        QString text = m_decoder->decode(bytes);
        if (last)
            text += m_decoder->decode(QByteArray());
        return text;
    }
    return decodeWindows1252(bytes);  // the file is no UTF-8: a byte is a character
}

bool TextFileReader::fill()
{
    if (m_atEnd)
        return false;
    const QByteArray bytes = m_file.read(kChunk);
    if (bytes.isEmpty() && m_file.error() != QFileDevice::NoError) {
        m_failure = m_file.errorString();
        m_atEnd = true;
        return false;
    }
    m_atEnd = m_file.atEnd() || bytes.isEmpty();
    // Only the start of a line is moved down; a long line then grows in
    // place instead of being copied at every chunk.
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    m_buffer += decode(bytes, m_atEnd);
    return true;
}

bool TextFileReader::readLine(QString &line)
{
    // How far past the line's start it is known to hold no break: what an
    // earlier chunk held of it is not searched again.
    qsizetype scanned = 0;
    for (;;) {
        qsizetype i = m_pos + scanned;
        const qsizetype n = m_buffer.size();
        const QChar *d = m_buffer.constData();
        while (i < n && d[i] != u'\r' && d[i] != u'\n')
            ++i;
        // A CR at the end of what is decoded may be the first half of CR LF.
        if (i < n && !(d[i] == u'\r' && i + 1 == n && !m_atEnd)) {
            line = m_buffer.mid(m_pos, i - m_pos);
            m_pos = i + ((d[i] == u'\r' && i + 1 < n && d[i + 1] == u'\n') ? 2 : 1);
            return true;
        }
        scanned = i - m_pos;
        if (!fill()) {
            if (m_pos >= m_buffer.size())
                return false;
            line = m_buffer.mid(m_pos);
            m_buffer.clear();
            m_pos = 0;
            return true;
        }
    }
}

} // namespace platform

#pragma once
// Text files from outside (project files, import lists, the file-type list):
// UTF-16 after its byte-order mark, or without one when its NUL bytes fall
// where UTF-16 puts them; otherwise UTF-8 when the whole file is valid UTF-8
// (a byte-order mark skipped), else Windows-1252.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <optional>

namespace platform {

enum class TextEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

// The encoding the first bytes of a file announce (a byte-order mark, or the
// NUL pattern of UTF-16); nothing when they announce none. bomSize is the
// size of the mark.
std::optional<TextEncoding> announcedEncoding(const QByteArray &head, int *bomSize = nullptr);

// A whole small file's bytes as text, by the rules above.
QString decodeTextFile(const QByteArray &bytes);

// Reads a text file one line at a time without holding it whole. Lines end
// at CR LF, CR or LF; the break after the last line starts no other line.
class TextFileReader {
public:
    // Opens the file and settles its encoding; false, with the reason, when
    // it cannot be read.
    bool open(const QString &path, QString *error = nullptr);
    // The next line; false at the end of the file or on a read failure.
    bool readLine(QString &line);
    // Set once a read failed; the lines so far are all there are.
    const QString &failure() const { return m_failure; }

    TextEncoding encoding() const { return m_encoding; }
    // Known from open(): NUL characters in the text, and whether anything
    // but white space is there.
    qint64 nulCount() const { return m_nulCount; }
    bool hasText() const { return m_hasText; }

private:
    bool fill();
    QString decode(const QByteArray &bytes, bool last);

    QFile m_file;
    TextEncoding m_encoding = TextEncoding::Utf8;
    std::optional<QStringDecoder> m_decoder;
    QString m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
    qint64 m_nulCount = 0;
    bool m_hasText = false;
    QString m_failure;
};

} // namespace platform

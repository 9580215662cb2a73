// Text files read line by line: lines that cross the reader's chunks.

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/textfile.h"
#include "support/files.h"

namespace {

QStringList linesOf(const QByteArray &bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    testsupport::writeBytes(path, bytes);
    platform::TextFileReader in;
    EXPECT_TRUE(in.open(path));
    QStringList lines;
    QString line;
    while (in.readLine(line))
        lines << line;
    return lines;
}

TEST(TextFileReader, LinesThatCrossChunksReadWhole)
{
    constexpr int kChunk = 1 << 20;
    const QByteArray longLine(3 * kChunk + 17, 'a');
    // CR LF split across the first chunk's end; "é" split the same way.
    const QByteArray head = QByteArray(kChunk - 1, 'b');
    const QByteArray fill(kChunk - 3, 'd');
    const QByteArray accent = QByteArray(kChunk - 1, 'c') + "\xC3\xA9";
    struct Case {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"long line between short ones", "x\r\n" + longLine + "\r\ny", {"x", QString::fromLatin1(longLine), "y"}},
        {"break at a chunk's start", "x\r\n" + fill + "\r\ny", {"x", QString::fromLatin1(fill), "y"}},
        {"CR LF across a chunk", head + "\r\nz\r\n", {QString::fromLatin1(head), "z"}},
        {"character across a chunk", accent + "\nw", {QString::fromLatin1(accent.left(kChunk - 1)) + u'\u00E9', "w"}},
        // Windows-1252 (an "\xE9" alone) stays so in a later chunk whose bytes would pass as UTF-8.
        {"one encoding for the whole file", "\xE9\n" + fill + "\n\xC3\xA9",
         {"\u00E9", QString::fromLatin1(fill), "\u00C3\u00A9"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(linesOf(c.bytes), c.lines) << c.name;
}

} // namespace

// A file kept open and rewritten in place: it always holds exactly the last
// bytes, and comes back when its name goes.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/keptfile.h"
#include "support/files.h"

TEST(KeptFile, HoldsExactlyTheLastBytesAndComesBackWhenDeleted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dump.txt");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100, 'o'));
        old.setPermissions(QFile::ReadOwner);  // cannot be opened for writing
    }
    platform::KeptFile file;
    ASSERT_TRUE(file.replace(path, "a long first page"));
    EXPECT_EQ(testsupport::readBytes(path), "a long first page");
    ASSERT_TRUE(file.replace(path, "short"));
    EXPECT_EQ(testsupport::readBytes(path), "short");

    // Someone deletes it, or writes more into it: within 64 writes the file
    // is the kept one again, holding exactly the last bytes.
    QFile::remove(path);
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(file.replace(path, QByteArray::number(i)));
    EXPECT_EQ(testsupport::readBytes(path), "63");
    {
        QFile other(path);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Append));
        other.write("and something more");
    }
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(file.replace(path, "x"));
    EXPECT_EQ(testsupport::readBytes(path), "x");

    EXPECT_FALSE(file.replace(dir.filePath("missing/dump.txt"), "x"));
}

// Whole-file writes that fail say what happened.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/safefile.h"

namespace {

TEST(SafeFile, AFullDiskIsCalledByItsName)
{
    // A file system of 16 KB of its own, in a mount namespace of the child's
    // own; where the machine allows none, there is nothing to test here.
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty())
        GTEST_SKIP() << "no unshare";
    QTemporaryDir dir;
    QProcess child;
    child.start(unshare, {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                          QStringLiteral("mount -t tmpfs -o size=16k tmpfs \"$0\" || exit 7; exec \"$1\" --write-probe "
                                         "\"$0/full.prj\""),
                          dir.path(), QCoreApplication::applicationFilePath()});
    ASSERT_TRUE(child.waitForFinished(30000));
    if (child.exitCode() != 0)
        GTEST_SKIP() << "no file system of our own here";
    EXPECT_EQ(QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed(), "No space left on device");
}

TEST(SafeFile, AWriteReplacesTheFileALinkPointsAtKeepsItsPermissionsAndLeavesNoCopy)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("x.prj");
    const QString link = dir.filePath("link.prj");
    ASSERT_TRUE(platform::writeFileAtomically(file, "old"));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(file, link));

    ASSERT_TRUE(platform::writeFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll(), "new");
    EXPECT_EQ(QFile::permissions(file) & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    // A write that cannot end leaves the old file and no copy of its own.
    platform::PieceWriter cut(file);
    ASSERT_TRUE(cut.write("half"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 3);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir(dir.path()).mkdir("x.prj"));
    QString error;
    EXPECT_FALSE(cut.commit(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList({"link.prj", "x.prj"}));
}

} // namespace

// Whole-file writes that fail say what happened.

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

} // namespace

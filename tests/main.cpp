#include <QByteArray>
#include <cstdio>
#include <gtest/gtest.h>

#include "platform/safefile.h"

// The window tests need the widget application; the core's tests have no
// widget library to take it from.
#ifdef TARNWICK_TESTS_WITH_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char **argv)
{
    // A child run of the tests that only writes a file and says how it went,
    // for tests that need a file system of their own (a full disk).
    if (argc == 3 && QByteArray(argv[1]) == "--write-probe") {
        QString error;
        const bool ok = platform::writeFileAtomically(QString::fromLocal8Bit(argv[2]), QByteArray(1 << 20, 'x'), &error);
        std::printf("%s\n", ok ? "written" : error.toLocal8Bit().constData());
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

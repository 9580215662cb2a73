// The socket layer: events only from the event loop, in order, and nothing
// heard of a connection once it is closed.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "platform/socket.h"
#include "support/testhttpserver.h"
#include "support/eventloop.h"

using testsupport::TestHttpServer;
using Response = testsupport::TestHttpServer::Response;

namespace {

class SocketLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(server.port(), 0);
        override.insert("site.example", server.port());
        socket.setConnectOverride(&override);
        QObject::connect(&socket, &platform::Socket::connected, [this] {
            events << "connect";
            socket.SendData("GET /x HTTP/1.1\r\nHost: site.example\r\n\r\n");
        });
        QObject::connect(&socket, &platform::Socket::dataArrival, [this](qint64) {
            events << "data";
            if (!leaveUnread)
                received += socket.GetData();
            if (closeOnData)
                socket.Close();
        });
        QObject::connect(&socket, &platform::Socket::closed, [this] { events << "close"; });
        QObject::connect(&socket, &platform::Socket::failed, [this] { events << "failed"; });
    }
    bool waitFor(const QString &event, int ms = 10000)
    {
        return testsupport::waitUntil([&] { return events.contains(event); }, ms);
    }
    void spin(int ms) { testsupport::spin(ms); }

    TestHttpServer server;
    QHash<QString, quint16> override;
    platform::Socket socket;
    QStringList events;
    QByteArray received;
    bool closeOnData = false;
    bool leaveUnread = false;
};

TEST_F(SocketLayer, EventsComeInOrderAndNeverFromInsideConnect)
{
    server.setDefault(Response::page("hello"));
    socket.Connect("Site.Example", 80);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(socket.state(), platform::Socket::State::Connecting);
    ASSERT_TRUE(waitFor("close"));
    EXPECT_EQ(events.first(), "connect");
    EXPECT_EQ(events.last(), "close");
    EXPECT_EQ(events.count("close"), 1);
    EXPECT_TRUE(received.endsWith("\r\n\r\nhello"));
    EXPECT_EQ(socket.state(), platform::Socket::State::Closed);
}

TEST_F(SocketLayer, OwnCloseRaisesNothingMore)
{
    Response slow = Response::page("0123456789");
    slow.mode = Response::Mode::Trickle;
    slow.trickleIntervalMs = 50;
    server.setDefault(slow);
    closeOnData = true;
    socket.Connect("site.example", 80);
    ASSERT_TRUE(waitFor("data"));
    spin(800);  // the rest of the body and the server's close would be heard by now
    EXPECT_EQ(events, (QStringList{"connect", "data"}));

    // A connection replaced before it stood is not heard either.
    events.clear();
    closeOnData = false;
    server.setDefault(Response::page("second"));
    socket.Connect("site.example", 80);
    socket.Connect("site.example", 80);
    ASSERT_TRUE(waitFor("close"));
    spin(200);
    EXPECT_EQ(events.count("connect"), 1);
    EXPECT_EQ(events.count("close"), 1);
}

TEST_F(SocketLayer, DataLeftUnreadIsOfferedOnceAndTheCloseStillComes)
{
    server.setDefault(Response::page("hello"));
    leaveUnread = true;
    socket.Connect("site.example", 80);
    ASSERT_TRUE(waitFor("close"));
    EXPECT_TRUE(received.isEmpty());
    EXPECT_EQ(events.last(), "close");
}

TEST_F(SocketLayer, ANameIsLookedUpAndEachOfItsAddressesTried)
{
    // "localhost" may come first as ::1, where nothing listens: the next
    // address is tried.
    server.setDefault(Response::page("by name"));
    socket.setConnectOverride(nullptr);
    socket.Connect("localhost", server.port());
    EXPECT_TRUE(events.isEmpty());
    ASSERT_TRUE(waitFor("close"));
    EXPECT_EQ(events.first(), "connect");
    EXPECT_TRUE(received.endsWith("by name"));

    // Closed while the name is looked up: nothing is heard.
    events.clear();
    socket.Connect("localhost", server.port());
    socket.Close();
    spin(300);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(SocketLayer, RefusedAndImpossibleConnectionsFail)
{
    override.insert("refused.example", TestHttpServer::unusedPort());
    socket.Connect("refused.example", 80);
    ASSERT_TRUE(waitFor("failed"));
    EXPECT_EQ(events, QStringList{"failed"});

    events.clear();
    for (const QString host : {"bad host.example", "", "a/b", "[::1]", "x.example:80"}) {
        EXPECT_FALSE(platform::Socket::isValidHostName(host)) << host.toStdString();
        socket.Connect(host, 80);
        EXPECT_TRUE(events.isEmpty());
        ASSERT_TRUE(waitFor("failed"));
        events.clear();
    }
    EXPECT_EQ(server.requestCount(), 0);
    EXPECT_TRUE(platform::Socket::isValidHostName("a-b_c.Example9"));
}

} // namespace

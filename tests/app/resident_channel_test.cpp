#include "app/resident_channel.h"

#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

using vantrel::ResidentChannel;

namespace {

// Both ends of a pipe, closed at the end unless closed before.
class Pipe {
public:
    Pipe()
    {
        if (pipe(fds_) != 0)
            qFatal("cannot make a pipe");
    }
    ~Pipe()
    {
        closeWriteEnd();
        ::close(fds_[0]);
    }

    int readEnd() const { return fds_[0]; }
    void write(const char *text) const
    {
        const auto length = strlen(text);
        QCOMPARE_EQ(::write(fds_[1], text, length), static_cast<ssize_t>(length));
    }
    void closeWriteEnd()
    {
        if (fds_[1] >= 0)
            ::close(fds_[1]);
        fds_[1] = -1;
    }

private:
    int fds_[2] = {-1, -1};
};

} // namespace

class ResidentChannelTest : public QObject {
    Q_OBJECT

private slots:
    void raisesOncePerRaiseLine()
    {
        Pipe pipe;
        ResidentChannel channel(pipe.readEnd());
        QSignalSpy raised(&channel, &ResidentChannel::raiseRequested);
        QSignalSpy closed(&channel, &ResidentChannel::closed);

        pipe.write("raise\n");
        QTRY_COMPARE(raised.count(), 1);
        // A line split over two writes still counts once; other lines and a
        // line without its end count nothing.
        pipe.write("rai");
        QTest::qWait(50);
        pipe.write("se\nhello\nRAISE\nraise now\nraise\nraise");
        QTRY_COMPARE(raised.count(), 3);
        QTest::qWait(50);
        QCOMPARE(raised.count(), 3);
        QCOMPARE(closed.count(), 0);
    }

    void endOfInputClosesTheChannel()
    {
        Pipe pipe;
        ResidentChannel channel(pipe.readEnd());
        QSignalSpy closed(&channel, &ResidentChannel::closed);
        pipe.write("raise\n");
        pipe.closeWriteEnd();
        QTRY_COMPARE(closed.count(), 1);
        QTest::qWait(50);
        QCOMPARE(closed.count(), 1);
    }

    void overlongLineIsDropped()
    {
        Pipe pipe;
        ResidentChannel channel(pipe.readEnd());
        QSignalSpy raised(&channel, &ResidentChannel::raiseRequested);
        const std::string garbage(1000, 'x');
        pipe.write(garbage.c_str());
        pipe.write("raise\n");
        QTest::qWait(100);
        pipe.write("raise\n");
        QTRY_COMPARE(raised.count(), 1);
    }
};

QTEST_GUILESS_MAIN(ResidentChannelTest)

#include "resident_channel_test.moc"

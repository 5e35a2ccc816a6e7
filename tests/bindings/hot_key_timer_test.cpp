// The hot key timer ticks only when the key source has news, and never again
// once the source is lost: a dead connection stays readable for ever, and
// ticking on it would spin.

#include "bindings/hot_key_timer.h"

#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace vantrel;

namespace {

// Stands in for the key source's connection.
class Pipe {
public:
    Pipe()
    {
        int fds[2];
        if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
            readEnd = fds[0];
            writeEnd = fds[1];
        }
    }
    ~Pipe()
    {
        closeWriteEnd();
        if (readEnd >= 0)
            close(readEnd);
    }
    void closeWriteEnd()
    {
        if (writeEnd >= 0)
            close(writeEnd);
        writeEnd = -1;
    }
    void drain() const
    {
        char buffer[64];
        while (read(readEnd, buffer, sizeof buffer) > 0) {
        }
    }

    int readEnd = -1;
    int writeEnd = -1;
};

} // namespace

class HotKeyTimerTest : public QObject {
    Q_OBJECT
private slots:
    void ticksOnlyWhenThereIsNews()
    {
        Pipe connection;
        QVERIFY(connection.readEnd >= 0);
        int ticks = 0;
        HotKeyTimer timer({connection.readEnd, 0}, [&] {
            ++ticks;
            connection.drain();
            return true;
        });
        // One look at the start, for news that came before the timer.
        QTRY_COMPARE(ticks, 1);
        QTest::qWait(100);
        QCOMPARE(ticks, 1);

        QCOMPARE(write(connection.writeEnd, "k", 1), 1);
        QTRY_COMPARE(ticks, 2);
        QTest::qWait(100);
        QCOMPARE(ticks, 2);
        QVERIFY(timer.isActive());
    }

    void stopsForGoodOnceTheSourceIsLost()
    {
        Pipe connection;
        QVERIFY(connection.readEnd >= 0);
        connection.closeWriteEnd();
        int ticks = 0;
        HotKeyTimer timer({connection.readEnd, 0}, [&] {
            ++ticks;
            return false;
        });
        QTRY_VERIFY(!timer.isActive());
        QTest::qWait(100);
        QCOMPARE(ticks, 1);
    }
};

QTEST_GUILESS_MAIN(HotKeyTimerTest)
#include "hot_key_timer_test.moc"

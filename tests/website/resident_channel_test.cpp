#include "website/resident_channel.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

using vantrel::ResidentChannel;

namespace {

// The resident program's end of the pipe: pieces of input handed to the
// channel's reads as they were written, then the end of the input. Shared
// with the reading thread, which may outlive the channel.
class Input {
public:
    void write(std::string text)
    {
        const std::lock_guard lock(mutex_);
        pieces_.push_back(std::move(text));
        changed_.notify_all();
    }
    void end()
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }
    // True once every piece written has been read.
    bool consumed()
    {
        const std::lock_guard lock(mutex_);
        return pieces_.empty();
    }

    std::size_t read(std::span<char> buffer)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !pieces_.empty() || ended_; });
        if (pieces_.empty())
            return 0;
        std::string &piece = pieces_.front();
        const std::size_t count = std::min(buffer.size(), piece.size());
        std::copy_n(piece.begin(), count, buffer.begin());
        piece.erase(0, count);
        if (piece.empty())
            pieces_.pop_front();
        return count;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> pieces_;
    bool ended_ = false;
};

// A channel on a fresh input, which ends with the test so that no reading
// thread outlives it.
struct Fixture {
    std::shared_ptr<Input> input = std::make_shared<Input>();
    std::unique_ptr<ResidentChannel> channel =
        std::make_unique<ResidentChannel>([input = input](std::span<char> buffer) { return input->read(buffer); });
    ~Fixture() { input->end(); }
};

} // namespace

class ResidentChannelTest : public QObject {
    Q_OBJECT

private slots:
    void raisesOncePerRaiseLine()
    {
        Fixture f;
        QSignalSpy raised(f.channel.get(), &ResidentChannel::raiseRequested);
        QSignalSpy closed(f.channel.get(), &ResidentChannel::closed);

        f.input->write("raise\n");
        QTRY_COMPARE(raised.count(), 1);
        // A line split over two writes still counts once; other lines and a
        // line without its end count nothing.
        f.input->write("rai");
        QTest::qWait(50);
        f.input->write("se\nhello\nRAISE\nraise now\nraise\nraise");
        QTRY_COMPARE(raised.count(), 3);
        QTest::qWait(50);
        QCOMPARE(raised.count(), 3);
        QCOMPARE(closed.count(), 0);
    }

    void endOfInputClosesTheChannel()
    {
        Fixture f;
        QSignalSpy raised(f.channel.get(), &ResidentChannel::raiseRequested);
        QSignalSpy closed(f.channel.get(), &ResidentChannel::closed);
        f.input->write("raise\n");
        f.input->end();
        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(raised.count(), 1);
        QTest::qWait(50);
        QCOMPARE(closed.count(), 1);
    }

    void overlongLineIsDropped()
    {
        Fixture f;
        QSignalSpy raised(f.channel.get(), &ResidentChannel::raiseRequested);
        QSignalSpy closed(f.channel.get(), &ResidentChannel::closed);
        // The command at the garbage's tail belongs to the garbage's line.
        f.input->write(std::string(1000, 'x'));
        f.input->write("raise\n");
        f.input->write("raise\n");
        f.input->end();
        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(raised.count(), 1);
    }

    // The helper's window may close while the resident program still holds
    // the pipe: the channel goes with input on its way to it, and whatever
    // comes after must find nothing of it.
    void channelGoneBeforeTheInputEnds()
    {
        Fixture f;
        const auto waitUntilRead = [&f] {
            // Without running the event loop: what was read stays posted.
            while (!f.input->consumed())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        f.input->write("raise\n");
        waitUntilRead();
        f.channel.reset();
        QTest::qWait(50);
        f.input->write("raise\n");
        waitUntilRead();
        QTest::qWait(50);
    }
};

QTEST_GUILESS_MAIN(ResidentChannelTest)

#include "resident_channel_test.moc"

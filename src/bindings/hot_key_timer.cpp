#include "bindings/hot_key_timer.h"

#include <QSocketNotifier>
#include <QTimer>

namespace vantrel {

HotKeyTimer::HotKeyTimer(platform::KeySourceWakeup wakeup, std::function<bool()> tick, QObject *parent)
    : QObject(parent), tick_(std::move(tick))
{
    if (wakeup.fd >= 0) {
        notifier_ = new QSocketNotifier(wakeup.fd, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &HotKeyTimer::onNews);
        active_ = true;
    } else if (wakeup.pollIntervalMs > 0) {
        timer_ = new QTimer(this);
        timer_->setTimerType(Qt::PreciseTimer);
        connect(timer_, &QTimer::timeout, this, &HotKeyTimer::onNews);
        timer_->start(wakeup.pollIntervalMs);
        active_ = true;
    }
    // Events may already be queued before the notifier was set up.
    if (active_)
        QTimer::singleShot(0, this, &HotKeyTimer::onNews);
}

HotKeyTimer::~HotKeyTimer() = default;

void HotKeyTimer::onNews()
{
    if (!active_ || tick_())
        return;
    active_ = false;
    if (notifier_)
        notifier_->setEnabled(false);
    if (timer_)
        timer_->stop();
}

} // namespace vantrel

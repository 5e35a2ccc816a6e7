#pragma once

#include "platform/key_source.h"

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace vantrel {

// Runs a tick whenever the key source has news: on a readable descriptor
// where the source offers one, so that an idle program does no work at all,
// otherwise on the source's polling interval.
class HotKeyTimer : public QObject {
    Q_OBJECT
public:
    // tick returns false once the source is lost; the timer then stops.
    HotKeyTimer(platform::KeySourceWakeup wakeup, std::function<bool()> tick, QObject *parent = nullptr);
    ~HotKeyTimer() override;

    bool isActive() const { return active_; }

private:
    void onNews();

    std::function<bool()> tick_;
    QSocketNotifier *notifier_ = nullptr;
    QTimer *timer_ = nullptr;
    bool active_ = false;
};

} // namespace vantrel

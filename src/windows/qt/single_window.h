#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <utility>

namespace vantrel {

// A side window that exists at most once: the first show creates it, closing
// it destroys it, and the next show builds it afresh (so its load step runs
// again); showing it while it is open only brings it to the front. An open
// window is destroyed with its holder, so that the end of the program takes
// it down too.
template <class Window>
class SingleWindow {
public:
    using Factory = std::function<Window *()>;

    explicit SingleWindow(Factory factory) : factory_(std::move(factory)) {}
    ~SingleWindow() { delete window_.data(); }

    SingleWindow(const SingleWindow &) = delete;
    SingleWindow &operator=(const SingleWindow &) = delete;

    Window *show()
    {
        // A window that has just been closed is hidden but only deleted once
        // control is back in the event loop; it no longer counts as open.
        if (!window_ || window_->isHidden()) {
            window_ = factory_();
            window_->setAttribute(Qt::WA_DeleteOnClose);
        }
        window_->show();
        window_->raise();
        window_->activateWindow();
        return window_;
    }

    // The open window, or null.
    Window *window() const { return window_ && !window_->isHidden() ? window_.data() : nullptr; }

private:
    Factory factory_;
    QPointer<Window> window_;
};

} // namespace vantrel

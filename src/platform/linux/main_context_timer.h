#pragma once

#include <glib.h>

#include <chrono>
#include <functional>

namespace vantrel::platform::linux_backend {

// A one-shot timer on a GLib main context, for the thread that runs that
// context; stopped when started again or destroyed.
class MainContextTimer {
public:
    MainContextTimer() = default;
    ~MainContextTimer() { stop(); }
    MainContextTimer(const MainContextTimer &) = delete;
    MainContextTimer &operator=(const MainContextTimer &) = delete;

    void start(GMainContext *context, std::chrono::milliseconds after, std::function<void()> fire)
    {
        stop();
        fire_ = std::move(fire);
        source_ = g_timeout_source_new(static_cast<guint>(after.count()));
        g_source_set_callback(
            source_,
            [](gpointer data) -> gboolean {
                auto *timer = static_cast<MainContextTimer *>(data);
                g_source_unref(timer->source_);
                timer->source_ = nullptr;
                // Moved out first: the callback may start the timer again.
                const auto fire = std::move(timer->fire_);
                fire();
                return G_SOURCE_REMOVE;
            },
            this, nullptr);
        g_source_attach(source_, context);
    }

    void stop()
    {
        if (!source_)
            return;
        g_source_destroy(source_);
        g_source_unref(source_);
        source_ = nullptr;
    }

    bool running() const { return source_ != nullptr; }

private:
    GSource *source_ = nullptr;
    std::function<void()> fire_;
};

} // namespace vantrel::platform::linux_backend

#include "platform/linux/open/launcher_thread.h"

#include <glib.h>

#include <pthread.h>

namespace vantrel::platform::linux_backend {

namespace {

using Job = std::function<void()>;

gboolean runJob(gpointer data)
{
    (*static_cast<Job *>(data))();
    return G_SOURCE_REMOVE;
}

void deleteJob(gpointer data) { delete static_cast<Job *>(data); }

gboolean quitLoop(gpointer loop)
{
    g_main_loop_quit(static_cast<GMainLoop *>(loop));
    return G_SOURCE_REMOVE;
}

} // namespace

LauncherThread::LauncherThread()
    : context_(g_main_context_new()), loop_(g_main_loop_new(context_, FALSE)), thread_([this] { run(); })
{
}

LauncherThread::~LauncherThread()
{
    post([this] { stopWhenIdle(); });
    thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

void LauncherThread::post(std::function<void()> job)
{
    g_main_context_invoke_full(context_, G_PRIORITY_DEFAULT, runJob, new Job(std::move(job)), deleteJob);
}

void LauncherThread::run()
{
    pthread_setname_np(pthread_self(), "vantrel-launch");
    g_main_context_push_thread_default(context_);
    g_main_loop_run(loop_);
    g_main_context_pop_thread_default(context_);
}

void LauncherThread::endPending()
{
    if (--pending_ == 0 && stopping_)
        g_main_loop_quit(loop_);
}

void LauncherThread::stopWhenIdle()
{
    stopping_ = true;
    if (pending_ == 0) {
        g_main_loop_quit(loop_);
        return;
    }
    GSource *deadline = g_timeout_source_new(static_cast<guint>(kStopWait.count()));
    g_source_set_callback(deadline, quitLoop, loop_, nullptr);
    g_source_attach(deadline, context_);
    g_source_unref(deadline);
}

} // namespace vantrel::platform::linux_backend

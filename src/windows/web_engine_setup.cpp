#include "windows/web_engine_setup.h"

#include <QByteArray>
#include <QCoreApplication>

#include <unistd.h>

namespace vantrel {

void prepareWebEngine()
{
    // The window shows what the user asks for and nothing else: no updates,
    // reports or prefetching of the engine's own.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    flags += " --disable-background-networking --disable-component-update --disable-domain-reliability";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace vantrel

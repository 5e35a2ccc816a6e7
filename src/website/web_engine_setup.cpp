#include "website/web_engine_setup.h"

#include "platform/superuser.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLoggingCategory>

namespace vantrel {

void prepareWebEngine()
{
    // The window shows what the user asks for and nothing else: no updates,
    // reports or prefetching of the engine's own.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    flags += " --disable-background-networking --disable-component-update --disable-domain-reliability";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    if (platform::runningAsSuperuser())
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine lists its start-up parameters every time it starts, which
    // would fill the resident program's terminal each time the window opens.
    // QT_LOGGING_RULES still brings the list back.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

} // namespace vantrel

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTREL_ADDRESS_SANITIZER 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define VANTREL_ADDRESS_SANITIZER 1
#endif

#ifdef VANTREL_ADDRESS_SANITIZER
// In a sanitizer build the engine's own code (not ours) frees some objects
// with a size other than the one they were made with; that check is left off
// in every process hosting the engine, all the others stay on.
extern "C" const char *__asan_default_options() { return "new_delete_type_mismatch=0"; }
#endif

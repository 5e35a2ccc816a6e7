#include "app/qt/display_check.h"

#include "app/qt/startup_checks.h"
#include "platform/diagnostic.h"
#include "platform/display.h"

#include <string>

namespace vantrel {

bool displayReachable()
{
    // Qt takes the first platform of its list whose plugin loads and whose
    // display answers: an X display, or a Wayland compositor.
    const QStringList folders = platformPluginFolders();
    QStringList reasons;
    for (const QString &name : requestedPlatforms()) {
        if (platformPluginProblem({name}, folders)) {
            reasons.append(QStringLiteral("Qt's platform plugin \"%1\" is missing").arg(name));
            continue;
        }
        std::string why;
        if (platform::displayAvailable(name.toStdString(), &why))
            return true;
        reasons.append(QString::fromStdString(why));
    }
    printDiagnostic("vantrel: " + reasons.join(QLatin1String("; ")).toStdString());
    return false;
}

} // namespace vantrel

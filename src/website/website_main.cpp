// The website helper: the website window with its web engine, in a process of
// its own that the resident program starts on demand (see WebsiteLauncher).

#include "artwork/artwork.h"
#include "platform/sound.h"
#include "platform/standard_input.h"
#include "website/resident_channel.h"
#include "website/web_engine_setup.h"
#include "website/website_data.h"
#include "windows/qt/fonts.h"
#include "windows/qt/frmWB.h"

#include <QApplication>
#include <QPointer>

#include <optional>

int main(int argc, char *argv[])
{
    vantrel::prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    vantrel::installFontSubstitutions();

    const auto dataFolders = vantrel::websiteDataFolders();
    const auto sound = vantrel::platform::createSound({dataFolders.begin(), dataFolders.end()});
    // Deletes itself when closed, and the helper ends with its last window.
    QPointer<vantrel::frmWB> window =
        new vantrel::frmWB(vantrel::websiteAddress(dataFolders), *sound, vantrel::programIcon());
    window->Form_Load();
    window->show();

    // The resident program hands us a pipe; started any other way (from a
    // terminal, say) the helper just shows its window until it is closed.
    std::optional<vantrel::ResidentChannel> resident;
    if (vantrel::platform::standardInputIsPipe()) {
        resident.emplace(vantrel::platform::readStandardInput);
        QObject::connect(&*resident, &vantrel::ResidentChannel::raiseRequested, window, [window] {
            window->showNormal();
            window->raise();
            window->activateWindow();
        });
        QObject::connect(&*resident, &vantrel::ResidentChannel::closed, &app, &QApplication::quit);
    }

    const int status = app.exec();
    delete window.data();
    return status;
}

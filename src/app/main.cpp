#include "artwork/artwork.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/startup_checks.h"
#include "app/website_launcher.h"
#include "platform/platform.h"
#include "windows/fonts.h"
#include "windows/frmAbout.h"
#include "windows/frmConfig.h"
#include "windows/frmKeys.h"
#include "windows/open_dialog.h"
#include "windows/single_window.h"

#include <QApplication>

#include <chrono>
#include <iostream>
#include <memory>

int main(int argc, char *argv[])
{
    if (const auto status = vantrel::answerCommandLine({argv, static_cast<std::size_t>(argc)}, std::cout, std::cerr))
        return *status;
    if (!vantrel::platformPluginAvailable())
        return 1;
    if (!vantrel::displayReachable())
        return 1;

    // Qt gets no arguments of the user's: the program takes none.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setQuitOnLastWindowClosed(false);
    vantrel::installFontSubstitutions();
    vantrel::warnAboutMissingPieces();

    const auto registry = vantrel::platform::createRegistry();
    const auto keys = vantrel::platform::createKeySource();
    const auto opener = vantrel::platform::createOpener();

    vantrel::frmConfig config({*registry, *keys, *opener}, std::make_unique<vantrel::FileDialogPicker>());

    // The side windows exist at most once each and go before the
    // configuration window at the end.
    vantrel::WebsiteLauncher website;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &website, &vantrel::WebsiteLauncher::close);
    vantrel::SingleWindow<vantrel::frmKeys> keyList(
        [&] { return new vantrel::frmKeys(config.bindings(), *keys, *opener); });
    vantrel::SingleWindow<vantrel::frmAbout> about([&] {
        return new vantrel::frmAbout(vantrel::logoPicture(config.devicePixelRatioF()), *opener,
                                     [&website] { website.show(); });
    });
    config.showKeyList = [&keyList] { keyList.show(); };
    config.showAbout = [&about] { about.show(); };

    config.Form_Load();
    // At login the panel often comes up after the program; give it a moment.
    config.showIfNoTrayWithin(std::chrono::seconds(3));
    return app.exec();
}

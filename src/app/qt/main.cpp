#include "app/command_line_answer.h"
#include "app/qt/display_check.h"
#include "app/qt/startup_checks.h"
#include "app/qt/website_launcher.h"
#include "app/session.h"
#include "artwork/artwork.h"
#include "platform/platform.h"
#include "windows/qt/fonts.h"
#include "windows/qt/frmAbout.h"
#include "windows/qt/frmConfig.h"
#include "windows/qt/frmKeys.h"
#include "windows/qt/open_dialog.h"
#include "windows/qt/single_window.h"

#include <QApplication>
#include <QSocketNotifier>

#include <chrono>
#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    if (const auto answered = vantrel::answeredCommandLine({argv, static_cast<std::size_t>(argc)}))
        return *answered;
    if (!vantrel::platformPluginAvailable())
        return 1;
    if (!vantrel::displayReachable())
        return 1;
    // Another copy of this session shows its window instead of this one
    // starting: two would open every file twice for each press.
    vantrel::StdioSink err(stderr);
    const auto session = vantrel::joinSession(err);
    if (session.exitStatus)
        return *session.exitStatus;

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
    // What the session's other programs ask: presses from `vantrel --press`
    // and a second copy's wish to see the window. Looked at only when the
    // bus's thread says that something came.
    std::unique_ptr<QSocketNotifier> sessionNews;
    if (session.bus) {
        sessionNews = std::make_unique<QSocketNotifier>(session.bus->wakeupFd(), QSocketNotifier::Read);
        QObject::connect(sessionNews.get(), &QSocketNotifier::activated, &config, [&] {
            const auto requests = session.bus->collect();
            for (const auto &press : requests.presses)
                press->answer(config.handOverPress(press->key()));
            if (requests.showConfiguration)
                config.mnuConfig_Click();
        });
    }
    // At login the panel often comes up after the program; give it a moment.
    config.showIfNoTrayWithin(std::chrono::seconds(3));
    return app.exec();
}

#include "platform/platform.h"
#include "windows/fonts.h"
#include "windows/frmConfig.h"
#include "windows/open_dialog.h"

#include <QApplication>

#include <chrono>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setQuitOnLastWindowClosed(false);
    vantrel::installFontSubstitutions();

    const auto registry = vantrel::platform::createRegistry();
    const auto keys = vantrel::platform::createKeySource();
    const auto opener = vantrel::platform::createOpener();

    vantrel::frmConfig config({*registry, *keys, *opener}, std::make_unique<vantrel::FileDialogPicker>());
    config.Form_Load();
    // At login the panel often comes up after the program; give it a moment.
    config.showIfNoTrayWithin(std::chrono::seconds(3));
    return app.exec();
}

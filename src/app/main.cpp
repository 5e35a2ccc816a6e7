#include "platform/platform.h"
#include "windows/fonts.h"
#include "windows/frmConfig.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setQuitOnLastWindowClosed(false);
    vantrel::installFontSubstitutions();

    const auto registry = vantrel::platform::createRegistry();
    const auto keys = vantrel::platform::createKeySource();
    const auto opener = vantrel::platform::createOpener();

    vantrel::frmConfig config({*registry, *keys, *opener});
    config.Form_Load();
    return app.exec();
}

// Build tool: draws the program's icon as the .ico file that its Windows
// version record carries, with the same drawing as the window and tray icons.
//   vantrel-render-windows-icon OUTPUT.ico

#include "artwork/artwork.h"
#include "platform/diagnostic.h"
#include "tools/windows_icon.h"

#include <QGuiApplication>
#include <QSaveFile>

#include <string>
#include <vector>

namespace {

// The sizes Windows asks for: the small and large icons at 100 % to 200 %
// scaling (tray, title bars, task bar, Explorer's lists) and Explorer's
// largest view.
constexpr int iconSides[] = {16, 20, 24, 32, 40, 48, 64, 256};

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        vantrel::printDiagnostic(std::string("usage: ") + argv[0] + " OUTPUT.ico");
        return 2;
    }
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    const QIcon artwork = vantrel::programIcon();
    std::vector<QImage> pictures;
    for (const int side : iconSides)
        pictures.push_back(artwork.pixmap(side).toImage());
    const QByteArray icon = vantrel::toIcoFile(pictures);
    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (icon.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(icon) != icon.size() || !file.commit()) {
        vantrel::printDiagnostic(std::string(argv[0]) + ": cannot write " + argv[1]);
        return 1;
    }
    return 0;
}

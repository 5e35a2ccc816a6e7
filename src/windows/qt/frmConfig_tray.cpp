// The tray icon, its menu, and the end of the program.
#include "artwork/artwork.h"
#include "windows/qt/frmConfig.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace vantrel {

void frmConfig::createTray()
{
    mnuMain = new QMenu(QStringLiteral("&Main"), this);
    mnuMain->setObjectName(QStringLiteral("mnuMain"));
    mnuConfig = mnuMain->addAction(QStringLiteral("&Configure"), this, &frmConfig::mnuConfig_Click);
    mnuView = mnuMain->addAction(QStringLiteral("&View Keys"), this, &frmConfig::mnuView_Click);
    sep1 = mnuMain->addSeparator();
    mnuExit = mnuMain->addAction(QStringLiteral("E&xit"), this, &frmConfig::mnuExit_Click);

    // The menu belongs to the icon itself, so that StatusNotifier hosts, which
    // draw menus of their own, offer it as well as XEmbed trays do.
    Trayicon1 = new QSystemTrayIcon(programIcon(), this);
    Trayicon1->setObjectName(QStringLiteral("Trayicon1"));
    Trayicon1->setToolTip(QStringLiteral("Vantrel"));
    Trayicon1->setContextMenu(mnuMain);
    connect(Trayicon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            mnuConfig_Click();
    });
    // Shown at once even without a tray: Qt puts the icon in the tray as soon
    // as one appears, as it does when the panel comes up after the program.
    Trayicon1->show();
}

void frmConfig::showIfNoTrayWithin(std::chrono::milliseconds grace)
{
    QTimer::singleShot(grace, this, [this] {
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            mnuConfig_Click();
    });
}

void frmConfig::mnuConfig_Click()
{
    show();
    raise();
    activateWindow();
}

void frmConfig::mnuView_Click()
{
    if (showKeyList)
        showKeyList();
}

void frmConfig::imgAbout_Click()
{
    if (showAbout)
        showAbout();
}

void frmConfig::mnuExit_Click() { UnloadAllWindows(); }

void frmConfig::UnloadAllWindows()
{
    stopWatchingKeys();
    Trayicon1->hide();
    // Closing one window may destroy another (a dialog with its owner).
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const auto &window : windows) {
        if (auto *fixed = qobject_cast<FixedDialog *>(window.data()))
            fixed->unload();
        else if (window)
            window->close();
    }
    QCoreApplication::exit(0);
}

} // namespace vantrel

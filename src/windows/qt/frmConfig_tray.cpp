// The tray icon, its menu, the windows it opens, and the end of the program.
#include "artwork/artwork.h"
#include "windows/qt/frmConfig.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace vantrel {

using namespace design::frmConfig;

void frmConfig::createTray()
{
    mnuMain = new QMenu(toQString(kMenuCaption), this);
    mnuMain->setObjectName(QString::fromLatin1(design::frmConfig::mnuMain.data(),
                                               static_cast<qsizetype>(design::frmConfig::mnuMain.size())));
    for (const auto &item : menu()) {
        QAction *action = item.isSeparator() ? mnuMain->addSeparator() : mnuMain->addAction(toQString(item.caption));
        action->setObjectName(QString::fromLatin1(item.name.data(), static_cast<qsizetype>(item.name.size())));
        if (item.name == mnuConfig)
            connect(action, &QAction::triggered, this, [this] { behaviour_.mnuConfig_Click(); });
        else if (item.name == mnuView)
            connect(action, &QAction::triggered, this, [this] { behaviour_.mnuView_Click(); });
        else if (item.name == mnuExit)
            connect(action, &QAction::triggered, this, &frmConfig::UnloadAllWindows);
    }

    // The menu belongs to the icon itself, so that StatusNotifier hosts, which
    // draw menus of their own, offer it as well as XEmbed trays do.
    Trayicon1 = new QSystemTrayIcon(programIcon(), this);
    Trayicon1->setObjectName(QStringLiteral("Trayicon1"));
    Trayicon1->setToolTip(toQString(trayTip()));
    Trayicon1->setContextMenu(mnuMain);
    connect(Trayicon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            behaviour_.mnuConfig_Click();
    });
    // Shown at once even without a tray: Qt puts the icon in the tray as soon
    // as one appears, as it does when the panel comes up after the program.
    Trayicon1->show();
}

void frmConfig::showIfNoTrayWithin(std::chrono::milliseconds grace)
{
    QTimer::singleShot(grace, this, [this] {
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            behaviour_.mnuConfig_Click();
    });
}

void frmConfig::showWindow()
{
    show();
    raise();
    activateWindow();
}

void frmConfig::openKeyList()
{
    if (showKeyList)
        showKeyList();
}

void frmConfig::openAbout()
{
    if (showAbout)
        showAbout();
}

void frmConfig::UnloadAllWindows()
{
    ending_ = true;
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

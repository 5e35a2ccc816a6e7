// A platform plugin that can't be loaded: the library it links is kept out
// of the loader's reach.

#include "vanishing.h"

#include <QObject>

class BrokenPlatformPlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3" FILE
                          "broken_platform_plugin.json")
public:
    BrokenPlatformPlugin() { vantrel_vanishing(); }
};

#include "broken_platform_plugin.moc"

#pragma once

#include "bindings/binding_set.h"
#include "bindings/hot_key_poller.h"
#include "windows/platform_services.h"

#include <QDialog>

#include <memory>

namespace vantrel {

class HotKeyTimer;

// The configuration window. It is also the start-up window: it owns the
// binding set and the hot key timer, and lives, mostly hidden, for the whole
// run of the program.
class frmConfig : public QDialog {
    Q_OBJECT
public:
    explicit frmConfig(PlatformServices services, QWidget *parent = nullptr);
    ~frmConfig() override;

    // Start-up: loads the binding set from the settings key.
    void Form_Load();

    BindingSet &bindings() { return bindings_; }
    bool isWatchingKeys() const;

private:
    void startWatchingKeys();
    bool tmrHotKey_Timer();

    PlatformServices services_;
    BindingSet bindings_;
    HotKeyPoller poller_;
    HotKeyTimer *tmrHotKey = nullptr;
};

} // namespace vantrel

#include "windows/frmConfig.h"

#include "bindings/hot_key_timer.h"

#include <cstdio>

namespace vantrel {

frmConfig::frmConfig(PlatformServices services, QWidget *parent)
    : QDialog(parent), services_(services), poller_(services.keys, bindings_, services.opener)
{
    startWatchingKeys();
}

frmConfig::~frmConfig() = default;

void frmConfig::startWatchingKeys()
{
    std::string error;
    if (!services_.keys.start(&error)) {
        std::fprintf(stderr, "vantrel: not watching F6 to F12: %s\n", error.c_str());
        return;
    }
    tmrHotKey = new HotKeyTimer(services_.keys.wakeup(), [this] { return tmrHotKey_Timer(); }, this);
}

bool frmConfig::isWatchingKeys() const { return tmrHotKey && tmrHotKey->isActive(); }

bool frmConfig::tmrHotKey_Timer()
{
    if (poller_.tick())
        return true;
    std::fprintf(stderr, "vantrel: lost the key source; F6 to F12 no longer open anything\n");
    return false;
}

void frmConfig::Form_Load() { bindings_.load(services_.registry); }

} // namespace vantrel

#pragma once

#include "bindings/binding_set.h"
#include "platform/key_source.h"
#include "platform/registry.h"
#include "windows/design/folder_check.h"
#include "windows/design/frmConfig_design.h"
#include "windows/design/window_view.h"

#include <chrono>
#include <functional>
#include <string>

namespace vantrel::design {

// The Open dialog as the rows use it: a modal dialog owned by the window,
// with a title, one filter entry that admits every file, and the file name it
// starts from, or else the folder it opens in (both empty: the dialog's own
// default).
struct OpenFileRequest {
    std::u16string_view title;
    std::u16string_view filterName;
    std::u16string startName;
    std::u16string startFolder;
};
struct OpenFileAnswer {
    enum class Outcome { Chosen, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    std::u16string path; // the full path when Chosen
};

class ConfigView : public WindowView {
public:
    virtual OpenFileAnswer askFileToOpen(const OpenFileRequest &request) = 0;
    // Goes on handling the program's events (the keys, the tray menu, Exit)
    // until done() or the limit; returns done() then.
    virtual bool letEventsRunUntil(const std::function<bool()> &done, std::chrono::milliseconds limit) = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    // The key list and about windows, each created when not open.
    virtual void openKeyList() = 0;
    virtual void openAbout() = 0;
};

// What the configuration window decides: its rows, which show the live copy
// of the bindings and change it through Browse and Delete; OK and Cancel; the
// menu items and the banner. The Open dialog's file name is shared by the
// rows and kept from one use to the next: a dialog opened from any row starts
// at the file last chosen in any row, unless that file's place does not
// answer within a short time (a mount whose server has gone): the dialog then
// opens in the home folder.
class ConfigBehaviour {
public:
    using FunctionKey = platform::FunctionKey;

    // How long a Browse waits for the place of the last file chosen.
    static constexpr std::chrono::milliseconds kPlaceAnswerLimit{1000};

    // All must outlive the behaviour. The rows follow every change of the
    // live copy from now on.
    ConfigBehaviour(ConfigView &view, BindingSet &bindings, platform::Registry &registry, platform::KeySource &keys,
                    FolderCheck &folders);
    ~ConfigBehaviour();
    ConfigBehaviour(const ConfigBehaviour &) = delete;
    ConfigBehaviour &operator=(const ConfigBehaviour &) = delete;

    void cmdF_Click(FunctionKey key);
    void txtF_GotFocus(FunctionKey key);
    void cmdF_KeyDown(FunctionKey key, int keyCode);
    void cmdOK_Click();
    void cmdCancel_Click();

    void mnuConfig_Click();
    void mnuView_Click();
    void imgAbout_Click();

    // The notes on the keys' labels, for when the desktop reports other
    // triggers for the keys.
    void showKeyTriggers();

    const std::u16string &dialogFileName() const { return dialogFileName_; }

private:
    void liveChanged();
    OpenFileRequest openFileRequest();

    ConfigView &view_;
    BindingSet &bindings_;
    platform::Registry &registry_;
    platform::KeySource &keys_;
    FolderCheck &folders_;
    std::u16string dialogFileName_;
    bool browsing_ = false;
};

} // namespace vantrel::design

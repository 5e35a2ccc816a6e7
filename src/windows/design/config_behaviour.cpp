#include "windows/design/config_behaviour.h"

#include "windows/design/desktop_trigger_note.h"
#include "windows/design/product_texts.h"
#include "windows/design/text.h"

namespace vantrel::design {

using namespace frmConfig;

ConfigBehaviour::ConfigBehaviour(ConfigView &view, BindingSet &bindings, platform::Registry &registry,
                                 platform::KeySource &keys, FolderCheck &folders)
    : view_(view), bindings_(bindings), registry_(registry), keys_(keys), folders_(folders)
{
    bindings_.setLiveObserver([this] { liveChanged(); });
}

ConfigBehaviour::~ConfigBehaviour() { bindings_.setLiveObserver({}); }

// A long path shows its beginning in the box, and all of it in the tooltip.
// The desktop's global shortcuts are taken only for keys with a file.
void ConfigBehaviour::liveChanged()
{
    for (const auto key : platform::kFunctionKeys) {
        const auto &path = bindings_.live(key);
        view_.setText(txtF(key), path);
        view_.setTip(txtF(key), path);
    }
    keys_.useKeys(bindings_.keysWithFiles());
    showKeyTriggers();
}

void ConfigBehaviour::showKeyTriggers()
{
    for (const auto key : platform::kFunctionKeys)
        view_.setTip(Key(key), desktopTriggerNote(keys_, key));
}

// The keys and Exit go on while the place of the last file is looked at; a
// second Browse meanwhile is not taken.
OpenFileRequest ConfigBehaviour::openFileRequest()
{
    OpenFileRequest request{kOpenDialogTitle, kOpenDialogFilterName, {}, {}};
    if (dialogFileName_.empty())
        return request;
    const auto answered = folders_.look(dialogFileName_);
    if (view_.letEventsRunUntil([&answered] { return answered->load(); }, kPlaceAnswerLimit))
        request.startName = dialogFileName_;
    else
        request.startFolder = homeFolder();
    return request;
}

// A cancelled dialog leaves everything as it was; a failing one is told
// nothing but starts the next time from this row's path.
void ConfigBehaviour::cmdF_Click(FunctionKey key)
{
    if (browsing_)
        return;
    browsing_ = true;
    auto answer = view_.askFileToOpen(openFileRequest());
    browsing_ = false;
    switch (answer.outcome) {
    case OpenFileAnswer::Outcome::Chosen:
        dialogFileName_ = std::move(answer.path);
        bindings_.browse(key, dialogFileName_);
        break;
    case OpenFileAnswer::Outcome::Cancelled:
        break;
    case OpenFileAnswer::Outcome::Failed:
        dialogFileName_ = bindings_.pathCopy(key);
        break;
    }
}

// The path boxes never keep the focus: only Browse and Delete change a path.
void ConfigBehaviour::txtF_GotFocus(FunctionKey key) { view_.focus(cmdF(key)); }

// Every row clears the same way, so that any binding can be removed.
void ConfigBehaviour::cmdF_KeyDown(FunctionKey key, int keyCode)
{
    if (keyCode == kDeleteKeyCode)
        bindings_.clear(key);
}

// A failed save keeps the window open, so that the edits are neither lost nor
// taken for saved.
void ConfigBehaviour::cmdOK_Click()
{
    const auto saved = bindings_.save(registry_);
    if (!saved.ok) {
        view_.showMessage({std::u16string(kSaveFailed) + u"\n\n" + fromUtf8(saved.reason), kProductName});
        return;
    }
    view_.hideWindow();
}

void ConfigBehaviour::cmdCancel_Click() { view_.hideWindow(); }

void ConfigBehaviour::mnuConfig_Click() { view_.showWindow(); }

void ConfigBehaviour::mnuView_Click() { view_.openKeyList(); }

void ConfigBehaviour::imgAbout_Click() { view_.openAbout(); }

} // namespace vantrel::design

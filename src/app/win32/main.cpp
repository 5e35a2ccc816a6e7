// Vantrel on Windows: the resident program and, started with a private
// argument, its website window.
#include "app/command_line_answer.h"
#include "app/session.h"
#include "app/win32/program_output.h"
#include "app/win32/resident.h"
#include "app/win32/settings_places.h"
#include "app/win32/website_process.h"
#include "platform/diagnostic.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "platform/win32/wide_text.h"
#include "windows/win32/frmAbout.h"
#include "windows/win32/frmConfig.h"
#include "windows/win32/frmKeys.h"
#include "windows/win32/frmWB.h"
#include "windows/win32/message_pump.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vantrel::platform::windows_backend::toUtf8;

// The command line as the shared reader takes it: UTF-8, one string an
// argument, split by the rules every Windows program follows.
std::vector<std::string> arguments()
{
    int count = 0;
    LPWSTR *split = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> converted;
    for (int i = 0; i < count; ++i)
        converted.push_back(toUtf8(std::wstring_view(split[i])));
    LocalFree(split);
    return converted;
}

// The OLE apartment the shell's dialogs and the browser control need on the
// thread that shows them.
class OleApartment {
public:
    OleApartment() : joined_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleApartment()
    {
        if (joined_)
            OleUninitialize();
    }
    OleApartment(const OleApartment &) = delete;
    OleApartment &operator=(const OleApartment &) = delete;

private:
    bool joined_;
};

// The home page travels inside vantrel.exe, which is all the installer and
// the zip ship: the control loads it from there by a res: address.
std::u16string homePageAddress()
{
    const std::wstring address = L"res://" + vantrel::win32_app::programPath() + L"/index.html";
    return {address.begin(), address.end()};
}

// The website window alone, in a process of its own that ends with it.
int runWebsiteWindow()
{
    const OleApartment apartment;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // A trumpet1.wav in a data folder beside the program wins over the one
    // the program carries.
    const std::wstring program = vantrel::win32_app::programPath();
    const auto sound = vantrel::platform::createSound(
        {toUtf8(std::wstring_view(program).substr(0, program.find_last_of(L"\\/") + 1)) + "data"});
    vantrel::win32_windows::frmWB window(homePageAddress(), *sound);
    window.closed = [] { PostQuitMessage(0); };
    if (!window.Form_Load()) {
        vantrel::printDiagnostic("vantrel: cannot make the website window");
        return 1;
    }
    window.show();
    return vantrel::win32_windows::runMessageLoop();
}

int runResident(std::unique_ptr<vantrel::platform::SessionBus> session)
{
    const OleApartment apartment;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const auto registry = vantrel::platform::createRegistry();
    const auto keys = vantrel::platform::createKeySource();
    const auto opener = vantrel::platform::createOpener();

    vantrel::win32_app::Resident resident({*registry, *keys, *opener, session.get()},
                                          vantrel::win32_app::windowsSettingsPlaces());
    // The configuration window lives as long as the program; Exit takes it
    // off the screen, and it goes with the rest at the end.
    vantrel::win32_windows::frmConfig config(resident.bindings(), *registry, *keys);
    resident.createWindows = [&](HWND__ *owner) {
        if (!config.Form_Load(owner)) {
            vantrel::printDiagnostic("vantrel: cannot make the configuration window");
            return;
        }
        resident.showConfiguration = [&config] { config.behaviour().mnuConfig_Click(); };
    };
    // The key list exists at most once: made when it is not open, and made
    // afresh after its Close destroyed it.
    std::unique_ptr<vantrel::win32_windows::frmKeys> keyList;
    config.showKeyList = [&] {
        if (!keyList || !keyList->window()) {
            auto made = std::make_unique<vantrel::win32_windows::frmKeys>(resident.bindings(), *keys, *opener);
            if (!made->Form_Load(resident.window())) {
                vantrel::printDiagnostic("vantrel: cannot make the key list window");
                return;
            }
            keyList = std::move(made);
        }
        keyList->show();
    };
    // The about window likewise, opened from the banner.
    std::unique_ptr<vantrel::win32_windows::frmAbout> about;
    vantrel::win32_app::WebsiteProcess website;
    config.showAbout = [&] {
        if (!about || !about->window()) {
            auto made = std::make_unique<vantrel::win32_windows::frmAbout>(*opener, [&website] { website.show(); });
            if (!made->Form_Load(resident.window())) {
                vantrel::printDiagnostic("vantrel: cannot make the about window");
                return;
            }
            about = std::move(made);
        }
        about->show();
    };
    resident.showKeyList = [&config] { config.behaviour().mnuView_Click(); };
    resident.closeOtherWindows = [&] {
        website.close();
        for (vantrel::win32_windows::DesignedWindow *side :
             {static_cast<vantrel::win32_windows::DesignedWindow *>(keyList.get()),
              static_cast<vantrel::win32_windows::DesignedWindow *>(about.get())})
            if (side)
                side->destroy();
        config.destroy();
    };
    std::string error;
    if (!resident.start(&error)) {
        vantrel::win32_app::deliverOutput({}, "vantrel: " + error + "\n");
        return 1;
    }
    return vantrel::win32_windows::runMessageLoop();
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    const std::vector<std::string> given = arguments();
    if (given.size() == 2 && given[1] == vantrel::win32_app::websiteWindowArgument)
        return runWebsiteWindow();
    std::vector<const char *> argv;
    for (const std::string &argument : given)
        argv.push_back(argument.c_str());

    vantrel::KeptText out;
    vantrel::KeptText err;
    const auto answered = vantrel::answeredCommandLine(argv, out, err);
    vantrel::win32_app::deliverOutput(out.text(), err.text());
    if (answered)
        return *answered;
    err.clear();
    // Another copy of this session shows its window instead of this one
    // starting: two would open every file twice for each press.
    auto session = vantrel::joinSession(err);
    vantrel::win32_app::deliverOutput({}, err.text());
    if (session.exitStatus)
        return *session.exitStatus;
    return runResident(std::move(session.bus));
}

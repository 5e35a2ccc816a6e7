// The configuration window of the real vantrel.exe under Wine: its layout
// against the design at two DPIs, and its rows, OK and Cancel driven from
// outside through the real Open dialog.
#include "program_driver.h"
#include "windows/design/frmAbout_design.h"
#include "windows/design/frmConfig_design.h"
#include "windows/design/frmWB_design.h"
#include "windows/win32/designed_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

using namespace vantrel::test::program;
namespace frmConfig = vantrel::design::frmConfig;
using vantrel::design::ControlId;
using vantrel::platform::FunctionKey;
using vantrel::win32_windows::itemNumber;

namespace {

class ConfigWindowTest : public ::testing::Test {
protected:
    void SetUp() override { removeEverySettingsKey(); }
    void TearDown() override { removeEverySettingsKey(); }

    // Starts Vantrel and shows its configuration window as a second copy does.
    HWND showWindow(RunningVantrel &vantrel)
    {
        EXPECT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
        EXPECT_EQ(runVantrel(L"").status, 0u);
        HWND window = nullptr;
        EXPECT_TRUE(eventually([&] {
            window = FindWindowW(L"Morvask.Vantrel.Window", L"Vantrel Configuration");
            return window && IsWindowVisible(window);
        }));
        return window;
    }
    static HWND control(HWND window, ControlId id) { return GetDlgItem(window, itemNumber(frmConfig::window(), id)); }
    // A click as the button sends it, without waiting for what it starts.
    static void click(HWND window, ControlId id)
    {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(itemNumber(frmConfig::window(), id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control(window, id)));
    }
    // Browse in a row, then the path typed into the Open dialog and Open;
    // the dialog is handed to lookAt first, once it is filled in.
    static void browse(HWND window, FunctionKey key, const std::wstring &path,
                       const std::function<void(HWND)> &lookAt = {})
    {
        click(window, frmConfig::cmdF(key));
        HWND dialog = nullptr;
        ASSERT_TRUE(eventually([&] { return (dialog = FindWindowW(L"#32770", L"Choose File...")) != nullptr; }))
            << "no Open dialog";
        HWND name = nullptr;
        ASSERT_TRUE(eventually([&] {
            HWND box = FindWindowExW(dialog, nullptr, L"ComboBoxEx32", nullptr);
            HWND combo = box ? FindWindowExW(box, nullptr, L"ComboBox", nullptr) : nullptr;
            name = combo ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
            return name != nullptr;
        }));
        if (lookAt)
            lookAt(dialog);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(eventually([&] { return !IsWindow(dialog); }));
    }

    TestFolder folder;
};

TEST_F(ConfigWindowTest, BrowseFillsTheRowAndTheKeyAtOnceAndOkWritesOnlyTheUsersKey)
{
    const Recorder seven(folder, L"seven.exe");
    RunningVantrel vantrel(folder);
    const HWND window = showWindow(vantrel);
    ASSERT_NE(window, nullptr);

    browse(window, FunctionKey::F7, seven.path().wstring());
    EXPECT_TRUE(eventually([&] { return textOf(control(window, frmConfig::txtF(FunctionKey::F7))) == seven.path(); }));
    EXPECT_FALSE(keyExists(Place::UsersKey));
    EXPECT_EQ(runVantrel(L"--press F7").status, 0u);
    EXPECT_EQ(seven.runsSettled(1), 1);

    click(window, frmConfig::cmdOK);
    EXPECT_TRUE(eventually([&] { return !IsWindowVisible(window); }));
    EXPECT_EQ(stringAt(Place::UsersKey, L"F7"), seven.path().wstring());
    EXPECT_EQ(stringAt(Place::UsersKey, L"F6"), L"");
    EXPECT_FALSE(keyExists(Place::MachineKey));
    // As any other program reads it.
    const std::wstring exported = exportedUsersKey(folder);
    EXPECT_NE(exported.find(exportedLine(L"F7", seven.path().wstring())), std::wstring::npos) << exported;
    EXPECT_NE(exported.find(exportedLine(L"F6", L"")), std::wstring::npos) << exported;
}

// The Open dialog as it comes, with no options of the program's: it offers
// its read-only box and takes the name of a file that is not there yet.
TEST_F(ConfigWindowTest, TheOpenDialogTakesTheNameOfAFileThatIsNotThereYet)
{
    RunningVantrel vantrel(folder);
    const HWND window = showWindow(vantrel);
    ASSERT_NE(window, nullptr);

    const std::wstring later = (folder.path() / L"later.exe").wstring();
    browse(window, FunctionKey::F9, later, [](HWND dialog) {
        constexpr int kReadOnlyBox = 1040;
        EXPECT_TRUE(eventually([&] { return IsWindowVisible(GetDlgItem(dialog, kReadOnlyBox)) != FALSE; }));
    });
    EXPECT_TRUE(eventually([&] { return textOf(control(window, frmConfig::txtF(FunctionKey::F9))) == later; }));
}

TEST_F(ConfigWindowTest, CancelKeepsTheBrowsedPathLiveButUnsaved)
{
    const Recorder eight(folder, L"eight.exe");
    setString(Place::UsersKey, L"F8", L"C:\\before.exe");
    RunningVantrel vantrel(folder);
    const HWND window = showWindow(vantrel);
    ASSERT_NE(window, nullptr);

    browse(window, FunctionKey::F8, eight.path().wstring());
    click(window, frmConfig::cmdCancel);
    EXPECT_TRUE(eventually([&] { return !IsWindowVisible(window); }));
    EXPECT_EQ(runVantrel(L"--press F8").status, 0u);
    EXPECT_EQ(eight.runsSettled(1), 1);
    EXPECT_EQ(stringAt(Place::UsersKey, L"F8"), L"C:\\before.exe");
}

TEST_F(ConfigWindowTest, DeleteOnABrowseButtonClearsItsRow)
{
    const Recorder twelve(folder, L"twelve.exe");
    setString(Place::UsersKey, L"F12", twelve.path());
    RunningVantrel vantrel(folder);
    const HWND window = showWindow(vantrel);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(textOf(control(window, frmConfig::txtF(FunctionKey::F12))), twelve.path());

    PostMessageW(control(window, frmConfig::cmdF(FunctionKey::F12)), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_TRUE(eventually([&] { return textOf(control(window, frmConfig::txtF(FunctionKey::F12))).empty(); }));
    EXPECT_EQ(runVantrel(L"--press F12").status, 1u);
    EXPECT_EQ(twelve.runs(), 0);
}

// Keys as the keyboard gives them, through the system's input queue: Alt
// and the letter marked in the caption press the button. (Typed on the X
// display instead, the release of Alt would go to no Wine window once the
// window hides, and Wine would hold Alt down for the tests after.)
TEST_F(ConfigWindowTest, AltOPressesOk)
{
    RunningVantrel vantrel(folder);
    const HWND window = showWindow(vantrel);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    ASSERT_TRUE(eventually([&] { return GetForegroundWindow() == window; }));

    INPUT keys[4] = {};
    const WORD chord[4] = {VK_MENU, 'O', 'O', VK_MENU};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = chord[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(SendInput(4, keys, sizeof keys[0]), 4u);
    EXPECT_TRUE(eventually([&] { return !IsWindowVisible(window); }));
    // OK, not Cancel: it saved the rows.
    EXPECT_EQ(stringAt(Place::UsersKey, L"F6"), L"");
}

TEST_F(ConfigWindowTest, TheWindowIsLeftOnlyThroughOkOrCancel)
{
    RunningVantrel vantrel(folder);
    const HWND window = showWindow(vantrel);
    ASSERT_NE(window, nullptr);
    // What the close box and Alt+F4 would send.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(vantrel.hasEnded(0ms));
}

TEST_F(ConfigWindowTest, AClickOnTheBannerOpensTheAboutWindowOnce)
{
    RunningVantrel vantrel(folder);
    const HWND window = showWindow(vantrel);
    ASSERT_NE(window, nullptr);
    // A click anywhere on the banner, as its panel reports it.
    const int banner = itemNumber(frmConfig::window(), frmConfig::imgLogo);
    for (int i = 0; i < 2; ++i)
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(banner, STN_CLICKED),
                     reinterpret_cast<LPARAM>(control(window, frmConfig::imgLogo)));
    HWND about = nullptr;
    EXPECT_TRUE(eventually([&] {
        about = FindWindowW(L"Morvask.Vantrel.Window", L"About Vantrel");
        return about && IsWindowVisible(about);
    }));
    Sleep(200);
    EXPECT_EQ(FindWindowExW(nullptr, about, L"Morvask.Vantrel.Window", L"About Vantrel"), nullptr);
}

namespace {

DWORD processOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

bool hasChildOfClass(HWND parent, const wchar_t *className)
{
    struct Search {
        const wchar_t *className;
        bool found;
    } search{className, false};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM context) -> BOOL {
            auto &s = *reinterpret_cast<Search *>(context);
            wchar_t name[64] = {};
            GetClassNameW(child, name, std::size(name));
            s.found = s.found || std::wstring(name) == s.className;
            return !s.found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The about window's Website button, pressed as it reports a click.
void clickWebsite(HWND about)
{
    const int button = itemNumber(vantrel::design::frmAbout::window(), vantrel::design::frmAbout::cmdWebsite);
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(about, button)));
}

} // namespace

class WebsiteProcessTest : public ConfigWindowTest {
protected:
    // The about window from the banner, and the website window from it.
    void openWebsite()
    {
        const HWND window = showWindow(vantrel);
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(itemNumber(frmConfig::window(), frmConfig::imgLogo), STN_CLICKED),
                     reinterpret_cast<LPARAM>(control(window, frmConfig::imgLogo)));
        ASSERT_TRUE(
            eventually([&] { return (about = FindWindowW(L"Morvask.Vantrel.Window", L"About Vantrel")) != nullptr; }));
        clickWebsite(about);
        ASSERT_TRUE(eventually([&] {
            website = FindWindowW(L"Morvask.Vantrel.Window", L"Morvask Website");
            return website && IsWindowVisible(website);
        })) << vantrel.diagnostics();
        websiteProcess = OpenProcess(SYNCHRONIZE, FALSE, processOf(website));
        ASSERT_NE(websiteProcess, nullptr);
    }
    void TearDown() override
    {
        if (websiteProcess)
            CloseHandle(websiteProcess);
        ConfigWindowTest::TearDown();
    }

    RunningVantrel vantrel{folder};
    HWND about = nullptr;
    HWND website = nullptr;
    HANDLE websiteProcess = nullptr;
};

TEST_F(WebsiteProcessTest, WebsiteOpensTheWindowOnceInASecondProcessThatEndsWithIt)
{
    ASSERT_NO_FATAL_FAILURE(openWebsite());
    EXPECT_NE(processOf(website), processOf(vantrel.residentWindow()));
    EXPECT_EQ(std::filesystem::path(programOf(website)).filename(), L"vantrel.exe");
    // The browser control's own window inside the one laid out for it.
    EXPECT_TRUE(hasChildOfClass(website, L"Shell Embedding"));

    // A second click brings the open one forward.
    SetForegroundWindow(about);
    clickWebsite(about);
    EXPECT_TRUE(eventually([&] { return GetForegroundWindow() == website; }));
    EXPECT_EQ(FindWindowExW(nullptr, website, L"Morvask.Vantrel.Window", L"Morvask Website"), nullptr);

    const int close = itemNumber(vantrel::design::frmWB::window(), vantrel::design::frmWB::cmdClose);
    PostMessageW(website, WM_COMMAND, MAKEWPARAM(close, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(website, close)));
    EXPECT_EQ(WaitForSingleObject(websiteProcess, 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(vantrel.hasEnded(300ms));
}

TEST_F(WebsiteProcessTest, TheWebsiteProcessEndsWithTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(openWebsite());
    SendMessageW(vantrel.residentWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(vantrel.hasEnded(5s));
    EXPECT_EQ(WaitForSingleObject(websiteProcess, 5000), WAIT_OBJECT_0);
}

TEST(WebsiteWindowArgument, IsNotOfferedAndAnsweredOnlyAlone)
{
    EXPECT_EQ(runVantrel(L"--help").out.find("website"), std::string::npos);
    const Finished mixed = runVantrel(L"--website-window --help");
    EXPECT_EQ(mixed.status, 2u);
    EXPECT_TRUE(mixed.out.empty());
    EXPECT_EQ(FindWindowW(L"Morvask.Vantrel.Window", L"Morvask Website"), nullptr);
}

// A resource of the program file, "" where it has none of that name.
std::string carriedBy(const std::wstring &program, const std::wstring &name, const wchar_t *type)
{
    const HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return {};
    std::string bytes;
    if (const HRSRC found = FindResourceW(module, name.c_str(), type))
        bytes.assign(static_cast<const char *>(LockResource(LoadResource(module, found))),
                     SizeofResource(module, found));
    FreeLibrary(module);
    return bytes;
}

// RT_HTML, where res: addresses look.
const wchar_t *const kHtmlResource = MAKEINTRESOURCEW(23);

std::string fileText(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string shippedPage(const wchar_t *page)
{
    return fileText(std::filesystem::path(fromUnix(VANTREL_WEBSITE_DATA)) / page);
}

TEST(ProgramFile, CarriesTheWebsitesHomePageAndTrumpet)
{
    const std::wstring program = fromUnix(VANTREL_EXE);
    for (const wchar_t *page : {L"index.html", L"vantrel.html", L"style.css"}) {
        const std::string expected = shippedPage(page);
        EXPECT_FALSE(expected.empty()) << page;
        EXPECT_EQ(carriedBy(program, page, kHtmlResource), expected) << page;
    }
    const std::string trumpet = fileText(fromUnix(VANTREL_BUILT_TRUMPET));
    EXPECT_EQ(trumpet.substr(0, 4), "RIFF");
    EXPECT_EQ(carriedBy(program, L"trumpet1.wav", L"WAVE"), trumpet);
}

TEST(ProgramFile, CarriesTheLogoAsA24BitBitmap)
{
    const std::string logo = carriedBy(fromUnix(VANTREL_EXE), L"VANTREL_LOGO", MAKEINTRESOURCEW(2)); // a bitmap
    BITMAPINFOHEADER header{};
    ASSERT_GE(logo.size(), sizeof header);
    std::memcpy(&header, logo.data(), sizeof header);
    EXPECT_EQ(header.biBitCount, 24);
}

// The address that the browser control of a process was given last, as the
// control itself tells it in Wine's trace of the browser (channel ieframe):
// nothing outside the process can ask the control. "" while it was given
// none.
std::wstring addressGivenToTheControl(const std::string &trace)
{
    const std::size_t at = trace.rfind(":WebBrowser_Navigate (");
    const std::size_t quoted = at == std::string::npos ? at : trace.find("->(L\"", at);
    if (quoted == std::string::npos)
        return {};
    std::wstring address;
    // Backslashes and quotes come escaped with a backslash.
    for (std::size_t i = quoted + 5; i < trace.size() && trace[i] != '"'; ++i) {
        if (trace[i] == '\\' && i + 1 < trace.size())
            ++i;
        address.push_back(static_cast<unsigned char>(trace[i]));
    }
    return address;
}

std::string narrow(const std::wstring &text) { return {text.begin(), text.end()}; }

// The website window in the process the resident program starts for it (the
// same program with the same argument) asks its control for the home page
// that the program carries: a res: address naming the running program and
// one of its HTML resources, the shipped home page.
TEST(WebsiteWindowProcess, AsksItsControlForTheHomePageThatTheProgramCarries)
{
    const TestFolder folder;
    // Wine writes its traces to the Linux standard error, which a Windows
    // program cannot hand to the programs it starts: a shell does.
    runLinux(folder, "(WINEDEBUG=trace+ieframe '" VANTREL_WINE "' '" VANTREL_EXE "' --website-window 2>'" +
                         folder.unixPath() + "/ieframe.trace' &)");
    HWND website = nullptr;
    ASSERT_TRUE(eventually([&] {
        website = FindWindowW(L"Morvask.Vantrel.Window", L"Morvask Website");
        return website && IsWindowVisible(website);
    }));
    const std::unique_ptr<void, decltype(&CloseHandle)> process(OpenProcess(SYNCHRONIZE, FALSE, processOf(website)),
                                                                &CloseHandle);
    std::wstring asked;
    EXPECT_TRUE(eventually(
        [&] { return !(asked = addressGivenToTheControl(fileText(folder.path() / L"ieframe.trace"))).empty(); }));
    PostMessageW(website, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.get(), 5000), WAIT_OBJECT_0);

    const std::wstring scheme = L"res://";
    ASSERT_EQ(asked.rfind(scheme, 0), 0u) << narrow(asked);
    const std::size_t slash = asked.rfind(L'/');
    const std::wstring program = asked.substr(scheme.size(), slash - scheme.size());
    EXPECT_EQ(narrow(program), narrow(fromUnix(VANTREL_EXE)));
    // A res: address without a type names an HTML resource.
    const std::string page = carriedBy(program, asked.substr(slash + 1), kHtmlResource);
    EXPECT_FALSE(page.empty()) << narrow(asked);
    EXPECT_EQ(page, shippedPage(L"index.html"));
}

// The window's client size and every control's place as designed, 15 twips
// to the pixel at 96 DPI and scaled at 144.
class ConfigLayoutTest : public ConfigWindowTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        ConfigWindowTest::SetUp();
        setDpi(GetParam());
    }
    void TearDown() override
    {
        setDpi(96);
        ConfigWindowTest::TearDown();
    }
    static void setDpi(int dpi)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        const DWORD value = static_cast<DWORD>(dpi);
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
        RegCloseKey(key);
    }
};

TEST_P(ConfigLayoutTest, EveryControlSitsWhereTheDesignPutsIt)
{
    const int dpi = GetParam();
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    RunningVantrel vantrel(folder);
    const HWND window = showWindow(vantrel);
    ASSERT_NE(window, nullptr);

    const auto &design = frmConfig::window();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, px(design.clientSize.width));
    EXPECT_EQ(client.bottom, px(design.clientSize.height));

    int checked = 0;
    for (const auto &designed : design.controls) {
        const HWND made = control(window, designed.id);
        if (!made || designed.sizedToText)
            continue;
        // Inside a panel's border, however wide the system draws it.
        POINT origin{0, 0};
        if (designed.container) {
            const auto &holder = design.control(*designed.container);
            origin = {px(holder.rect.left), px(holder.rect.top)};
            if (holder.border == vantrel::design::Border::Sunken) {
                origin = {0, 0};
                MapWindowPoints(control(window, holder.id), window, &origin, 1);
            }
        }
        const int left = origin.x + px(designed.rect.left);
        const int top = origin.y + px(designed.rect.top);
        RECT placed{};
        GetWindowRect(made, &placed);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&placed), 2);
        const std::string name(designed.id.name);
        EXPECT_EQ(placed.left, left) << name;
        EXPECT_EQ(placed.top, top) << name;
        EXPECT_EQ(placed.right - placed.left, px(designed.rect.width)) << name;
        EXPECT_EQ(placed.bottom - placed.top, px(designed.rect.height)) << name;
        ++checked;
    }
    EXPECT_GT(checked, 20);
}

INSTANTIATE_TEST_SUITE_P(AtDpi, ConfigLayoutTest, ::testing::Values(96, 144));

} // namespace

// What screen readers are told of the windows' controls: a path box by the
// label of its row, through the system's own accessibility objects (Wine's
// oleacc names an edit control after the label before it, as Windows does),
// and the names the design gives beyond the captions, through the system's
// annotations. Wine keeps no annotations (its IAccPropServices answers
// E_NOTIMPL to every call), so those are checked against a recording
// stand-in registered in the system's place for this process.
#include "bindings/binding_set.h"
#include "support/idle_keys.h"
#include "support/recording_opener.h"
#include "support/registry_test_env.h"
#include "windows/design/frmAbout_design.h"
#include "windows/design/frmConfig_design.h"
#include "windows/design/frmKeys_design.h"
#include "windows/win32/frmAbout.h"
#include "windows/win32/frmConfig.h"
#include "windows/win32/frmKeys.h"

#include "window_test_support.h"

#include <initguid.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vantrel;
using platform::FunctionKey;
namespace frmConfig = design::frmConfig;

std::wstring wide(std::u16string_view text) { return {text.begin(), text.end()}; }

// The system's accessible object of a control, asked for its name.
std::wstring accessibleName(HWND control)
{
    IAccessible *accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void **>(&accessible))))
        return L"(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT asked = accessible->get_accName(self, &name);
    accessible->Release();
    std::wstring text = asked == S_OK && name ? std::wstring(name, SysStringLen(name)) : L"(none)";
    SysFreeString(name);
    return text;
}

class ComApartment {
public:
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;
};

class ConfigWindowNamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Form_Load(test::hiddenOwner()));
        window.showWindow();
    }

    ComApartment apartment;
    std::unique_ptr<platform::Registry> registry = test::makeEmptyRegistry();
    test::IdleKeys keys;
    BindingSet bindings;
    win32_windows::frmConfig window{bindings, *registry, keys};
};

TEST_F(ConfigWindowNamesTest, EachPathBoxIsNamedByTheLabelOfItsRow)
{
    for (const auto key : platform::kFunctionKeys) {
        const HWND box = window.control(frmConfig::txtF(key));
        const HWND label = window.control(frmConfig::Key(key));
        SCOPED_TRACE(test::textOf(label));
        EXPECT_EQ(GetWindow(box, GW_HWNDPREV), label);
        EXPECT_EQ(accessibleName(box), test::textOf(label));
    }
}

// The system's annotations, recorded: which control was given which name,
// and which had its names taken back.
class RecordedAnnotations final : public IAccPropServices, public IClassFactory {
public:
    std::map<HWND, std::wstring> names;
    // Named while the window holding it was on the screen already.
    std::vector<HWND> namedLate;
    std::vector<HWND> cleared;

    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND hwnd, DWORD idObject, DWORD idChild, MSAAPROPID idProp,
                                             LPCWSTR str) override
    {
        if (idObject != static_cast<DWORD>(OBJID_CLIENT) || idChild != CHILDID_SELF || idProp != PROPID_ACC_NAME)
            return E_INVALIDARG;
        names[hwnd] = str;
        if (IsWindowVisible(GetAncestor(hwnd, GA_ROOT)))
            namedLate.push_back(hwnd);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND hwnd, DWORD, DWORD, const MSAAPROPID *props, int count) override
    {
        if (count == 1 && props[0] == PROPID_ACC_NAME)
            cleared.push_back(hwnd);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (iid == IID_IUnknown || iid == IID_IAccPropServices)
            *object = static_cast<IAccPropServices *>(this);
        else if (iid == IID_IClassFactory)
            *object = static_cast<IClassFactory *>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        return outer ? CLASS_E_NOAGGREGATION : QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    // What the windows never ask for.
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE *, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE *, DWORD, const MSAAPROPID *, int, IAccPropServer *,
                                            AnnoScope) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE *, DWORD, const MSAAPROPID *, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID *, int, IAccPropServer *,
                                                AnnoScope) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE **, DWORD *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE *, DWORD, HWND *, DWORD *, DWORD *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID *, int, IAccPropServer *,
                                                 AnnoScope) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID *, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE **, DWORD *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE *, DWORD, HMENU *, DWORD *) override
    {
        return E_NOTIMPL;
    }
};

class AnnotatedNamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory *>(&annotations),
                                        CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration),
                  S_OK);
    }
    void TearDown() override { CoRevokeClassObject(registration); }

    ComApartment apartment;
    RecordedAnnotations annotations;
    DWORD registration = 0;
};

// The names come as each window is first shown, before it is on the
// screen: a window kept hidden costs no accessibility library.
TEST_F(AnnotatedNamesTest, ControlsGetTheDesignsNamesWhereTheCaptionSaysTooLittleFromTheFirstShowUntilTheyGo)
{
    auto registry = test::makeEmptyRegistry();
    test::IdleKeys keys;
    test::RecordingOpener opener;
    BindingSet bindings;
    win32_windows::frmConfig config{bindings, *registry, keys};
    win32_windows::frmKeys keyList{bindings, keys, opener};
    win32_windows::frmAbout about{opener, [] {}};
    ASSERT_TRUE(config.Form_Load(test::hiddenOwner()));
    ASSERT_TRUE(keyList.Form_Load(test::hiddenOwner()));
    ASSERT_TRUE(about.Form_Load(test::hiddenOwner()));
    EXPECT_TRUE(annotations.names.empty());
    config.showWindow();
    config.hideWindow();
    config.showWindow();
    keyList.show();
    about.show();

    std::map<HWND, std::wstring> expected;
    for (const auto key : platform::kFunctionKeys)
        expected[config.control(frmConfig::cmdF(key))] =
            L"Browse for " + test::textOf(config.control(frmConfig::Key(key)));
    expected[config.control(frmConfig::Image1)] = L"Vantrel logo";
    // The patch in front of the banner has no window: the banner carries
    // its name.
    expected[config.control(frmConfig::imgLogo)] = wide(design::frmAbout::kCaption);
    expected[keyList.control(design::frmKeys::lstKeys)] = L"Key bindings";
    expected[about.control(design::frmAbout::imgImage)] = L"Vantrel logo";
    EXPECT_EQ(annotations.names, expected);
    EXPECT_EQ(annotations.namedLate, std::vector<HWND>{});

    const HWND image = about.control(design::frmAbout::imgImage);
    about.destroy();
    EXPECT_EQ(annotations.cleared, std::vector<HWND>{image});
}

} // namespace

#include "windows/win32/accessible_names.h"

#include <windows.h>

#include <initguid.h>

#include <oleacc.h>

#include <string>

namespace vantrel::win32_windows {

using design::ControlDesign;

namespace {

// The name a control is announced by where its caption does not say it:
// the design's name, or that of a patch that takes its clicks and has no
// window of its own to carry one.
std::u16string_view extraName(const design::WindowDesign &design, std::span<HWND__ *const> controls, std::size_t index)
{
    const ControlDesign &control = design.controls[index];
    std::u16string_view name = control.accessibleName;
    if (name.empty())
        for (std::size_t i = 0; i < design.controls.size(); ++i)
            if (!controls[i] && design.controls[i].container == control.id)
                name = design.controls[i].accessibleName;
    if (name.empty() || name == design::withoutAccessKeys(control.caption))
        return {};
    return name;
}

} // namespace

AccessibleNames::AccessibleNames() = default;

AccessibleNames::~AccessibleNames() { clear(); }

bool AccessibleNames::give(const design::WindowDesign &design, std::span<HWND__ *const> controls)
{
    clear();
    // The annotations are COM's; the program's thread may have joined an
    // apartment already (S_FALSE), which is as good.
    const HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    joinedApartment_ = SUCCEEDED(joined);
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                services_.putVoid())))
        return false;
    bool anyTaken = false;
    bool anyAsked = false;
    for (std::size_t i = 0; i < design.controls.size() && i < controls.size(); ++i) {
        const std::u16string_view name = extraName(design, controls, i);
        if (!controls[i] || name.empty())
            continue;
        anyAsked = true;
        const std::wstring text(name.begin(), name.end());
        if (SUCCEEDED(services_->SetHwndPropStr(controls[i], static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                                PROPID_ACC_NAME, text.c_str()))) {
            named_.push_back(controls[i]);
            anyTaken = true;
        }
    }
    return anyTaken || !anyAsked;
}

void AccessibleNames::clear()
{
    MSAAPROPID name = PROPID_ACC_NAME;
    for (HWND__ *control : named_)
        services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
    named_.clear();
    services_.reset();
    if (joinedApartment_)
        CoUninitialize();
    joinedApartment_ = false;
}

} // namespace vantrel::win32_windows

#include "windows/win32/web_browser_host.h"

#include "windows/win32/com_pointer.h"

#include <windows.h>

#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>
#include <oleauto.h>

namespace vantrel::win32_windows {

namespace {

// A BSTR freed at the end of its scope.
class Bstr {
public:
    explicit Bstr(const std::u16string &text)
        : bstr_(SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.data()), static_cast<UINT>(text.size())))
    {
    }
    Bstr() = default;
    ~Bstr() { SysFreeString(bstr_); }
    Bstr(const Bstr &) = delete;
    Bstr &operator=(const Bstr &) = delete;
    BSTR get() const { return bstr_; }
    BSTR *put()
    {
        SysFreeString(bstr_);
        bstr_ = nullptr;
        return &bstr_;
    }
    std::u16string text() const
    {
        return bstr_ ? std::u16string(reinterpret_cast<const char16_t *>(bstr_), SysStringLen(bstr_))
                     : std::u16string();
    }

private:
    BSTR bstr_ = nullptr;
};

std::u16string textOf(const VARIANT &value)
{
    const VARIANT *inner = V_VT(&value) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&value) : &value;
    if (!inner || V_VT(inner) != VT_BSTR || !V_BSTR(inner))
        return {};
    return {reinterpret_cast<const char16_t *>(V_BSTR(inner)), SysStringLen(V_BSTR(inner))};
}

} // namespace

// The container's side of the control: its client site, the in-place site
// and frame it is shown in, and the sink of its events. Lives as long as
// the control holds a reference to it.
class WebBrowserHost::Site final : public IOleClientSite,
                                   public IOleInPlaceSite,
                                   public IOleInPlaceFrame,
                                   public IDispatch {
public:
    Site(HWND parent, Events events) : parent_(parent), events_(std::move(events)) {}

    HRESULT create()
    {
        HRESULT result =
            CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object_.putVoid());
        if (FAILED(result))
            return result;
        if (FAILED(result = object_->SetClientSite(static_cast<IOleClientSite *>(this))))
            return result;
        OleSetContainedObject(object_.get(), TRUE);
        RECT area{};
        GetClientRect(parent_, &area);
        if (FAILED(result = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite *>(this), 0,
                                            parent_, &area)))
            return result;
        if (FAILED(result = object_->QueryInterface(IID_IWebBrowser2, browser_.putVoid())))
            return result;
        ComPointer<IConnectionPointContainer> points;
        if (SUCCEEDED(object_->QueryInterface(IID_IConnectionPointContainer, points.putVoid())) &&
            SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, events_point_.put())))
            events_point_->Advise(static_cast<IDispatch *>(this), &cookie_);
        return S_OK;
    }

    // Lets go of the control, which lets go of this site.
    void close()
    {
        if (events_point_ && cookie_)
            events_point_->Unadvise(cookie_);
        events_point_.reset();
        browser_.reset();
        if (object_) {
            ComPointer<IOleInPlaceObject> inPlace;
            if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid())))
                inPlace->InPlaceDeactivate();
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
        }
        object_.reset();
    }

    IWebBrowser2 *browser() const { return browser_.get(); }

    void fit()
    {
        ComPointer<IOleInPlaceObject> inPlace;
        if (!object_ || FAILED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid())))
            return;
        RECT area{};
        GetClientRect(parent_, &area);
        inPlace->SetObjectRects(&area, &area);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *object = static_cast<IOleClientSite *>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *object = static_cast<IOleInPlaceSite *>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *object = static_cast<IOleInPlaceFrame *>(this);
        else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2)
            *object = static_cast<IDispatch *>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker **moniker) override
    {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer **container) override
    {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for the site and the frame alike
    HRESULT STDMETHODCALLTYPE GetWindow(HWND *window) override
    {
        *window = parent_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame **frame, IOleInPlaceUIWindow **document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override
    {
        *frame = static_cast<IOleInPlaceFrame *>(this);
        AddRef();
        *document = nullptr;
        GetClientRect(parent_, position);
        GetClientRect(parent_, clip);
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(parent_, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: the window has no menus or
    // tool bars of the control's.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject *, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the browser's events
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    // The arguments come last first.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS *parameters, VARIANT *, EXCEPINFO *,
                                     UINT *) override
    {
        const UINT count = parameters ? parameters->cArgs : 0;
        switch (member) {
        case DISPID_BEFORENAVIGATE2:
            if (count == 7 && events_.beforeNavigate)
                events_.beforeNavigate(textOf(parameters->rgvarg[5]));
            break;
        case DISPID_COMMANDSTATECHANGE:
            if (count == 2 && events_.commandStateChange)
                events_.commandStateChange(static_cast<int>(V_I4(&parameters->rgvarg[1])),
                                           V_BOOL(&parameters->rgvarg[0]) != VARIANT_FALSE);
            break;
        case DISPID_DOCUMENTCOMPLETE:
            if (events_.documentComplete)
                events_.documentComplete();
            break;
        default:
            break;
        }
        return S_OK;
    }

private:
    ~Site() = default;

    LONG references_ = 1;
    HWND parent_;
    Events events_;
    ComPointer<IOleObject> object_;
    ComPointer<IWebBrowser2> browser_;
    ComPointer<IConnectionPoint> events_point_;
    DWORD cookie_ = 0;
};

WebBrowserHost::WebBrowserHost(HWND__ *parent, Events events) : parent_(parent)
{
    const HRESULT joined = OleInitialize(nullptr);
    oleJoined_ = SUCCEEDED(joined);
    if (!oleJoined_) {
        failure_ = joined;
        return;
    }
    site_ = new Site(parent, std::move(events));
    if (const HRESULT made = site_->create(); FAILED(made)) {
        failure_ = made;
        site_->close();
        site_->Release();
        site_ = nullptr;
    }
}

WebBrowserHost::~WebBrowserHost()
{
    if (site_) {
        site_->close();
        site_->Release();
    }
    if (oleJoined_)
        OleUninitialize();
}

bool WebBrowserHost::hosted() const { return site_ && site_->browser(); }

void WebBrowserHost::navigate(const std::u16string &address)
{
    if (!hosted())
        return;
    const Bstr url(address);
    // One argument: the other four say nothing.
    VARIANT nothing;
    VariantInit(&nothing);
    site_->browser()->Navigate(url.get(), &nothing, &nothing, &nothing, &nothing);
}

void WebBrowserHost::goBack()
{
    if (hosted())
        site_->browser()->GoBack();
}

void WebBrowserHost::goForward()
{
    if (hosted())
        site_->browser()->GoForward();
}

void WebBrowserHost::stop()
{
    if (hosted())
        site_->browser()->Stop();
}

void WebBrowserHost::refresh()
{
    if (hosted())
        site_->browser()->Refresh();
}

std::u16string WebBrowserHost::locationName() const
{
    if (!hosted())
        return {};
    Bstr name;
    if (FAILED(site_->browser()->get_LocationName(name.put())))
        return {};
    return name.text();
}

void WebBrowserHost::fit()
{
    if (site_)
        site_->fit();
}

} // namespace vantrel::win32_windows

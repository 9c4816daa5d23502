#include "controller_win.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "navigation_args_win.h"
#include "out_param_win.h"

namespace tunewell::standin
{

namespace
{

const HRESULT invalidState = HRESULT_FROM_WIN32 (ERROR_INVALID_STATE);
constexpr wchar_t controllerProperty[] = L"TunewellStandinController";

std::wstring boundsText (const RECT& r)
{
    return std::to_wstring (r.left) + L"\t" + std::to_wstring (r.top) + L"\t" + std::to_wstring (r.right) + L"\t"
         + std::to_wstring (r.bottom);
}

} // namespace

Controller::Controller (HWND parent, ICoreWebView2Environment* owner, std::shared_ptr<Dispatcher> threadDispatcher,
                        std::shared_ptr<BrowserProcess> browserProcess)
    : environment (ui::ComRef<ICoreWebView2Environment>::share (owner)), dispatcher (threadDispatcher),
      view (new BrowserView (std::move (threadDispatcher))), viewReference (ui::ComRef<ICoreWebView2>::adopt (view)),
      parentWindow (parent)
{
    // A system class: no window procedure of this module is left behind
    // should the runtime be unloaded before a forgotten child goes.
    contentWindow = CreateWindowExW (0, L"Static", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                                     nullptr, GetModuleHandleW (nullptr), nullptr);
    view->setContentWindow (contentWindow);
    if (contentWindow == nullptr)
        return;

    view->setControllerSide (this);

    browser = std::move (browserProcess);
    browser->controllerOpened (this);
    view->onBrowserProcessExit ([this] {
        if (browser != nullptr)
            browser->exitUnexpectedly();
    });
    if (currentBehaviour().closeWithParent)
        watchParent();
}

Controller::~Controller()
{
    Close();
}

// A child window is destroyed with its parent, so its own WM_DESTROY tells.
// The procedure is this module's only while the controller lives: closing
// puts the system's back first.
void Controller::watchParent()
{
    SetPropW (contentWindow, controllerProperty, this);
    systemProcedure = reinterpret_cast<WNDPROC> (
        SetWindowLongPtrW (contentWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR> (contentProcedure)));
}

void Controller::stopWatchingParent()
{
    if (systemProcedure == nullptr)
        return;

    SetWindowLongPtrW (contentWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR> (systemProcedure));
    RemovePropW (contentWindow, controllerProperty);
    systemProcedure = nullptr;
}

LRESULT CALLBACK Controller::contentProcedure (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* controller = static_cast<Controller*> (GetPropW (window, controllerProperty));
    if (controller == nullptr)
        return DefWindowProcW (window, message, wParam, lParam);

    const WNDPROC original = controller->systemProcedure;
    if (message == WM_DESTROY)
    {
        // Already going: the close must not destroy it a second time.
        controller->stopWatchingParent();
        controller->contentWindow = nullptr;
        controller->shutDown (L"parent window destroyed");
    }

    return CallWindowProcW (original, window, message, wParam, lParam);
}

void Controller::placeContent()
{
    MoveWindow (contentWindow, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

HRESULT Controller::get_IsVisible (BOOL* visible)
{
    return returnValue (isVisible ? TRUE : FALSE, visible);
}

HRESULT Controller::put_IsVisible (BOOL visible)
{
    return guarded ([&] {
        record (L"put_IsVisible", visible ? L"1" : L"0");
        if (closed)
            return invalidState;

        isVisible = visible != FALSE;
        ShowWindow (contentWindow, isVisible ? SW_SHOWNA : SW_HIDE);
        view->showPage (isVisible);
        return S_OK;
    });
}

HRESULT Controller::get_Bounds (RECT* out)
{
    return returnValue (bounds, out);
}

HRESULT Controller::put_Bounds (RECT newBounds)
{
    return guarded ([&] {
        record (L"put_Bounds", boundsText (newBounds));
        if (closed)
            return invalidState;

        bounds = newBounds;
        placeContent();
        view->placePage (bounds.right - bounds.left, bounds.bottom - bounds.top);
        return S_OK;
    });
}

HRESULT Controller::get_ZoomFactor (double* out)
{
    return returnValue (zoomFactor, out);
}

HRESULT Controller::put_ZoomFactor (double factor)
{
    if (closed)
        return invalidState;
    if (! (factor > 0.0))
        return E_INVALIDARG;

    zoomFactor = factor;
    return S_OK;
}

HRESULT Controller::SetBoundsAndZoomFactor (RECT newBounds, double factor)
{
    auto result = put_ZoomFactor (factor);
    return SUCCEEDED (result) ? put_Bounds (newBounds) : result;
}

HRESULT Controller::MoveFocus (COREWEBVIEW2_MOVE_FOCUS_REASON reason)
{
    return guarded ([&] {
        record (L"MoveFocus", std::to_wstring (static_cast<int> (reason)));
        if (closed)
            return invalidState;

        SetFocus (contentWindow);
        return S_OK;
    });
}

bool Controller::hasFocus() const
{
    const HWND focus = GetFocus();
    return contentWindow != nullptr && focus != nullptr && (focus == contentWindow || IsChild (contentWindow, focus));
}

// Handlers read the modifiers with GetKeyState, as Microsoft advises, so the
// thread's keyboard state shows them held while the handlers run.
bool Controller::raiseAcceleratorKey (const KeyChord& chord)
{
    record (L"AcceleratorKeyPressed", chord.text);
    auto* pressed = new AcceleratorKeyArgs (chord);
    auto args = ui::ComRef<ICoreWebView2AcceleratorKeyPressedEventArgs>::adopt (pressed);

    BYTE before[256] {};
    const bool keptState = GetKeyboardState (before) != FALSE;
    if (keptState)
    {
        BYTE held[256];
        std::copy (std::begin (before), std::end (before), std::begin (held));
        held[VK_CONTROL] = chord.control ? 0x80 : 0;
        held[VK_SHIFT] = chord.shift ? 0x80 : 0;
        held[VK_MENU] = chord.alt ? 0x80 : 0;
        held[chord.virtualKey & 0xFF] = 0x80;
        SetKeyboardState (held);
    }

    for (auto& handler : events.handlersOf<ICoreWebView2AcceleratorKeyPressedEventHandler> (L"AcceleratorKeyPressed"))
        handler->Invoke (this, args.get());

    if (keptState)
        SetKeyboardState (before);
    return pressed->handled();
}

HRESULT Controller::get_ParentWindow (HWND* out)
{
    return returnValue (parentWindow, out);
}

HRESULT Controller::put_ParentWindow (HWND parent)
{
    record (L"put_ParentWindow");
    if (closed)
        return invalidState;
    if (! IsWindow (parent))
        return E_INVALIDARG;

    parentWindow = parent;
    SetParent (contentWindow, parent);
    return S_OK;
}

HRESULT Controller::NotifyParentWindowPositionChanged()
{
    return guarded ([&] {
        record (L"NotifyParentWindowPositionChanged");
        return closed ? invalidState : S_OK;
    });
}

HRESULT Controller::Close()
{
    if (! closed)
        shutDown (L"");

    return S_OK;
}

void Controller::shutDown (const wchar_t* reason)
{
    closed = true;
    record (L"Close", reason);
    stopWatchingParent();
    if (contentWindow != nullptr && IsWindow (contentWindow))
        DestroyWindow (contentWindow);

    contentWindow = nullptr;
    view->setContentWindow (nullptr);
    view->setControllerSide (nullptr);
    events.clear();
    view->close();

    view->onBrowserProcessExit (nullptr);
    if (auto closing = std::move (browser))
        closing->controllerClosed (this, dispatcher);
}

void Controller::browserProcessExited()
{
    if (closed)
        return;

    view->notifyProcessFailed (COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED);
    shutDown (L"browser process exited");
}

HRESULT Controller::get_CoreWebView2 (ICoreWebView2** out)
{
    if (out == nullptr)
        return E_POINTER;

    if (closed)
    {
        *out = nullptr;
        return invalidState;
    }

    viewReference.copyTo (out);
    return S_OK;
}

HRESULT Controller::get_AllowExternalDrop (BOOL* value)
{
    return returnValue (allowExternalDrop ? TRUE : FALSE, value);
}

HRESULT Controller::put_AllowExternalDrop (BOOL value)
{
    return guarded ([&] {
        record (L"put_AllowExternalDrop", value ? L"1" : L"0");
        if (closed)
            return invalidState;

        allowExternalDrop = value != FALSE;
        return S_OK;
    });
}

TUNEWELL_STANDIN_EVENT (Controller, ZoomFactorChanged, ICoreWebView2ZoomFactorChangedEventHandler)
TUNEWELL_STANDIN_EVENT (Controller, MoveFocusRequested, ICoreWebView2MoveFocusRequestedEventHandler)
TUNEWELL_STANDIN_EVENT (Controller, GotFocus, ICoreWebView2FocusChangedEventHandler)
TUNEWELL_STANDIN_EVENT (Controller, LostFocus, ICoreWebView2FocusChangedEventHandler)
TUNEWELL_STANDIN_EVENT (Controller, AcceleratorKeyPressed, ICoreWebView2AcceleratorKeyPressedEventHandler)

} // namespace tunewell::standin

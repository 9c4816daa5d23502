#pragma once

#include <memory>

#include "browser_process_win.h"
#include "browser_view_win.h"
#include "com_object_win.h"
#include "webview/com_ref_win.h"
#include "dispatcher_win.h"
#include "event_registry_win.h"
#include "webview/webview2_win.h"

namespace tunewell::standin
{

/// Places one browser view in a parent window: the view's content is a child
/// window of that parent, moved by the bounds and shown or hidden by the
/// visibility. Close, or the last Release, destroys the child and closes the
/// view; later calls fail with HRESULT_FROM_WIN32 (ERROR_INVALID_STATE). When
/// the control asks for it, the parent's destruction closes it as well.
///
/// It answers as ICoreWebView2Controller up to ICoreWebView2Controller4, of
/// whose additions only AllowExternalDrop is modelled (the rest: E_NOTIMPL).
/// The view has the keyboard focus while the content window, which MoveFocus
/// focuses, or a child of it holds the thread's focus: another window taking
/// the focus takes it from the view, as it does from the browser's window.
class Controller final
    : public ComObject<ICoreWebView2Controller4, IID_ICoreWebView2Controller4, IID_ICoreWebView2Controller,
                       IID_ICoreWebView2Controller2, IID_ICoreWebView2Controller3>,
      private ControllerSide
{
public:
    /// Fails (content() is null) when the child window cannot be created.
    Controller (HWND parent, ICoreWebView2Environment* environment, std::shared_ptr<Dispatcher> dispatcher,
                std::shared_ptr<BrowserProcess> browser);
    ~Controller() override;

    HWND content() const { return contentWindow; }

    /// Its browser process died: the view hears of it, and both close.
    void browserProcessExited();

    HRESULT STDMETHODCALLTYPE get_IsVisible (BOOL* isVisible) override;
    HRESULT STDMETHODCALLTYPE put_IsVisible (BOOL isVisible) override;
    HRESULT STDMETHODCALLTYPE get_Bounds (RECT* bounds) override;
    HRESULT STDMETHODCALLTYPE put_Bounds (RECT bounds) override;
    HRESULT STDMETHODCALLTYPE get_ZoomFactor (double* zoomFactor) override;
    HRESULT STDMETHODCALLTYPE put_ZoomFactor (double zoomFactor) override;
    HRESULT STDMETHODCALLTYPE add_ZoomFactorChanged (ICoreWebView2ZoomFactorChangedEventHandler* eventHandler,
                                                     EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_ZoomFactorChanged (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE SetBoundsAndZoomFactor (RECT bounds, double zoomFactor) override;
    HRESULT STDMETHODCALLTYPE MoveFocus (COREWEBVIEW2_MOVE_FOCUS_REASON reason) override;
    HRESULT STDMETHODCALLTYPE add_MoveFocusRequested (ICoreWebView2MoveFocusRequestedEventHandler* eventHandler,
                                                      EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_MoveFocusRequested (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_GotFocus (ICoreWebView2FocusChangedEventHandler* eventHandler,
                                            EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_GotFocus (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_LostFocus (ICoreWebView2FocusChangedEventHandler* eventHandler,
                                             EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_LostFocus (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_AcceleratorKeyPressed (ICoreWebView2AcceleratorKeyPressedEventHandler* eventHandler,
                                                         EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_AcceleratorKeyPressed (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE get_ParentWindow (HWND* topLevelWindow) override;
    HRESULT STDMETHODCALLTYPE put_ParentWindow (HWND topLevelWindow) override;
    HRESULT STDMETHODCALLTYPE NotifyParentWindowPositionChanged() override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE get_CoreWebView2 (ICoreWebView2** coreWebView2) override;

    // The rest of what versions 2 and 3 add is not modelled.
    HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor (COREWEBVIEW2_COLOR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor (COREWEBVIEW2_COLOR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RasterizationScale (double*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_RasterizationScale (double) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ShouldDetectMonitorScaleChanges (BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ShouldDetectMonitorScaleChanges (BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE add_RasterizationScaleChanged (ICoreWebView2RasterizationScaleChangedEventHandler*,
                                                             EventRegistrationToken*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE remove_RasterizationScaleChanged (EventRegistrationToken) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_BoundsMode (COREWEBVIEW2_BOUNDS_MODE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_BoundsMode (COREWEBVIEW2_BOUNDS_MODE) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE get_AllowExternalDrop (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AllowExternalDrop (BOOL value) override;

private:
    bool allowsExternalDrop() const override { return allowExternalDrop; }
    bool hasFocus() const override;
    bool raiseAcceleratorKey (const KeyChord& chord) override;

    void placeContent();
    void watchParent();
    void stopWatchingParent();
    void shutDown (const wchar_t* reason);
    static LRESULT CALLBACK contentProcedure (HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    ui::ComRef<ICoreWebView2Environment> environment;
    std::shared_ptr<Dispatcher> dispatcher;
    // Counted as one of its controllers until this one closes.
    std::shared_ptr<BrowserProcess> browser;
    BrowserView* view;
    ui::ComRef<ICoreWebView2> viewReference;
    EventRegistry events;
    HWND parentWindow;
    HWND contentWindow = nullptr;
    // The content window's own procedure while the controller watches for
    // its parent's destruction; null when it does not.
    WNDPROC systemProcedure = nullptr;
    RECT bounds {};
    double zoomFactor = 1.0;
    bool isVisible = true;
    bool allowExternalDrop = true;
    bool closed = false;
};

} // namespace tunewell::standin

#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../standin_runtime.h"
#include "com_object_win.h"
#include "dispatcher_win.h"
#include "event_registry_win.h"
#include "page.h"
#include "settings_win.h"
#include "user_input.h"
#include "webview/webview2_win.h"

namespace tunewell::standin
{

/// What a view asks of the controller that places it.
class ControllerSide
{
public:
    virtual ~ControllerSide() = default;

    virtual bool allowsExternalDrop() const = 0;
    /// Whether the keyboard's keys reach the view now.
    virtual bool hasFocus() const = 0;
    /// Raises AcceleratorKeyPressed; true when a handler marked it Handled.
    virtual bool raiseAcceleratorKey (const KeyChord& chord) = 0;
};

/// The browser view of one controller. Page events reach it through the
/// control (as a StandinViewSink) and are raised to the registered handlers
/// in later turns of the thread's message queue; everything it is asked to do
/// is recorded and handed to its Page.
class BrowserView final : public ComObject<ICoreWebView2, IID_ICoreWebView2>, private PageOwner
{
public:
    explicit BrowserView (std::shared_ptr<Dispatcher> dispatcher);
    ~BrowserView() override;

    /// Answers the runtime's own identifier too, so that a view handed back
    /// to the runtime (a NewWindow) is known as one of its own.
    HRESULT STDMETHODCALLTYPE QueryInterface (REFIID iid, void** object) override;
    /// The view behind an ICoreWebView2 when it is one of this runtime's.
    static BrowserView* ownObject (ICoreWebView2* view);

    /// Releases every handler and stops taking page events; later calls fail
    /// with HRESULT_FROM_WIN32 (ERROR_INVALID_STATE).
    void close();

    /// The controller placed the view's content at this size, or showed or
    /// hid it; the page learns of it.
    void placePage (int width, int height);
    void showPage (bool visible);
    /// The window that shows the content, for whether it can be seen.
    void setContentWindow (HWND window) { contentWindow = window; }
    /// The controller while it is open; null once it closed.
    void setControllerSide (ControllerSide* side) { controllerSide = side; }

    /// What a failure of the browser process does (its controller's part);
    /// empty once the view no longer belongs to a running browser.
    void onBrowserProcessExit (std::function<void()> exitProcess) { browserProcessExit = std::move (exitProcess); }
    /// Records and raises ProcessFailed of this kind to the handlers now.
    void notifyProcessFailed (COREWEBVIEW2_PROCESS_FAILED_KIND kind);

    HRESULT STDMETHODCALLTYPE get_Settings (ICoreWebView2Settings** settings) override;
    HRESULT STDMETHODCALLTYPE get_Source (LPWSTR* uri) override;
    HRESULT STDMETHODCALLTYPE Navigate (LPCWSTR uri) override;
    HRESULT STDMETHODCALLTYPE NavigateToString (LPCWSTR htmlContent) override;
    HRESULT STDMETHODCALLTYPE add_NavigationStarting (ICoreWebView2NavigationStartingEventHandler* eventHandler,
                                                      EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_NavigationStarting (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_ContentLoading (ICoreWebView2ContentLoadingEventHandler* eventHandler,
                                                  EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_ContentLoading (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_SourceChanged (ICoreWebView2SourceChangedEventHandler* eventHandler,
                                                 EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_SourceChanged (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_HistoryChanged (ICoreWebView2HistoryChangedEventHandler* eventHandler,
                                                  EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_HistoryChanged (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_NavigationCompleted (ICoreWebView2NavigationCompletedEventHandler* eventHandler,
                                                       EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_NavigationCompleted (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_FrameNavigationStarting (ICoreWebView2NavigationStartingEventHandler* eventHandler,
                                                           EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_FrameNavigationStarting (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_FrameNavigationCompleted (ICoreWebView2NavigationCompletedEventHandler* eventHandler,
                                                            EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_FrameNavigationCompleted (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_ScriptDialogOpening (ICoreWebView2ScriptDialogOpeningEventHandler* eventHandler,
                                                       EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_ScriptDialogOpening (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_PermissionRequested (ICoreWebView2PermissionRequestedEventHandler* eventHandler,
                                                       EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_PermissionRequested (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_ProcessFailed (ICoreWebView2ProcessFailedEventHandler* eventHandler,
                                                 EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_ProcessFailed (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated (
        LPCWSTR javaScript, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) override;
    HRESULT STDMETHODCALLTYPE RemoveScriptToExecuteOnDocumentCreated (LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE ExecuteScript (LPCWSTR javaScript,
                                             ICoreWebView2ExecuteScriptCompletedHandler* handler) override;
    HRESULT STDMETHODCALLTYPE CapturePreview (COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT imageFormat,
                                              IStream* imageStream,
                                              ICoreWebView2CapturePreviewCompletedHandler* handler) override;
    HRESULT STDMETHODCALLTYPE Reload() override;
    HRESULT STDMETHODCALLTYPE PostWebMessageAsJson (LPCWSTR webMessageAsJson) override;
    HRESULT STDMETHODCALLTYPE PostWebMessageAsString (LPCWSTR webMessageAsString) override;
    HRESULT STDMETHODCALLTYPE add_WebMessageReceived (ICoreWebView2WebMessageReceivedEventHandler* handler,
                                                      EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_WebMessageReceived (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE
    CallDevToolsProtocolMethod (LPCWSTR methodName, LPCWSTR parametersAsJson,
                                ICoreWebView2CallDevToolsProtocolMethodCompletedHandler* handler) override;
    HRESULT STDMETHODCALLTYPE get_BrowserProcessId (UINT32* value) override;
    HRESULT STDMETHODCALLTYPE get_CanGoBack (BOOL* canGoBack) override;
    HRESULT STDMETHODCALLTYPE get_CanGoForward (BOOL* canGoForward) override;
    HRESULT STDMETHODCALLTYPE GoBack() override;
    HRESULT STDMETHODCALLTYPE GoForward() override;
    HRESULT STDMETHODCALLTYPE GetDevToolsProtocolEventReceiver (
        LPCWSTR eventName, ICoreWebView2DevToolsProtocolEventReceiver** receiver) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE add_NewWindowRequested (ICoreWebView2NewWindowRequestedEventHandler* eventHandler,
                                                      EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_NewWindowRequested (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE add_DocumentTitleChanged (ICoreWebView2DocumentTitleChangedEventHandler* eventHandler,
                                                        EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_DocumentTitleChanged (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE get_DocumentTitle (LPWSTR* title) override;
    HRESULT STDMETHODCALLTYPE AddHostObjectToScript (LPCWSTR name, VARIANT* object) override;
    HRESULT STDMETHODCALLTYPE RemoveHostObjectFromScript (LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE OpenDevToolsWindow() override;
    HRESULT STDMETHODCALLTYPE
    add_ContainsFullScreenElementChanged (ICoreWebView2ContainsFullScreenElementChangedEventHandler* eventHandler,
                                          EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_ContainsFullScreenElementChanged (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE get_ContainsFullScreenElement (BOOL* containsFullScreenElement) override;
    HRESULT STDMETHODCALLTYPE add_WebResourceRequested (ICoreWebView2WebResourceRequestedEventHandler* eventHandler,
                                                        EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_WebResourceRequested (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE
    AddWebResourceRequestedFilter (const LPCWSTR uri, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) override;
    HRESULT STDMETHODCALLTYPE RemoveWebResourceRequestedFilter (
        const LPCWSTR uri, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) override;
    HRESULT STDMETHODCALLTYPE add_WindowCloseRequested (ICoreWebView2WindowCloseRequestedEventHandler* eventHandler,
                                                        EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_WindowCloseRequested (EventRegistrationToken token) override;

private:
    struct ResourceAnswer
    {
        StandinResourceOutcome outcome {};
        std::wstring reason, headers;
        std::vector<unsigned char> body;
    };

    static void postWebMessageFromPage (void* view, const wchar_t* source, const wchar_t* text, int isJson);
    static void navigateFromPage (void* view, const wchar_t* uri);
    static void dropFileOnPage (void* view, const wchar_t* path);
    static void requestNewWindowFromPage (void* view, const wchar_t* uri);
    static int pressKeyOnPage (void* view, const wchar_t* chord);
    static void requestPermissionFromPage (void* view, int requestId, int kind, const wchar_t* uri);
    static void requestResourceFromPage (void* view, int requestId, const wchar_t* uri);
    static int isShownToPage (void* view);
    static void failProcessOfPage (void* view, int kind);
    static void newBrowserVersionOfPage (void* view, int version);

    /// Queues work for a later turn, keeping this view alive until it ran.
    void later (std::function<void()> work);

    void raiseWebMessage (const std::wstring& source, const std::wstring& message, bool isJson);
    void raiseNewWindowRequest (const std::wstring& uri);
    void takeKey (const KeyChord& chord);
    void dropFile (const std::wstring& path);

    /// Starts a navigation the way the browser does: NavigationStarting is
    /// raised (and logged), and unless a handler cancelled it, the renderer
    /// is replaced and load runs. False when cancelled.
    bool navigateNow (const std::wstring& uri, bool userInitiated, const std::function<void()>& load);
    /// The same in a later turn, unless a newer navigation came meanwhile.
    void navigateLater (const std::wstring& uri, bool userInitiated, std::function<void()> load);
    /// What loads a document from a URI, or from HTML given as a string.
    std::function<void()> loadUri (const std::wstring& uri);
    std::function<void()> loadString (const std::wstring& html);
    /// Loads the current document again; the log names what asked for it.
    void reload (const std::wstring& reason);
    void raiseProcessFailed (COREWEBVIEW2_PROCESS_FAILED_KIND kind);
    void reportHangAgain (int document);
    /// A navigation replaces the renderer, dead or hung.
    void pageReplaced();
    void
    applyDocumentScript (const std::wstring& script, bool alreadyApplied,
                         const ui::ComRef<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler>& handler,
                         const std::wstring& id);
    void raisePermissionRequest (int requestId, int kind, const std::wstring& uri);
    ResourceAnswer raiseResourceRequest (const std::wstring& uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context);
    bool isFiltered (const std::wstring& uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) const;
    void fetchDocument (const std::wstring& uri, std::function<void (std::optional<std::wstring>)> done) override;

    /// Records a call that hands the view one text, refuses it once the view
    /// is closed or the text is null, and runs the work otherwise.
    template <typename Work>
    HRESULT textCall (const wchar_t* operation, LPCWSTR text, Work&& work);

    std::shared_ptr<Dispatcher> dispatcher;
    EventRegistry events;
    std::vector<std::pair<std::wstring, COREWEBVIEW2_WEB_RESOURCE_CONTEXT>> resourceFilters;
    int viewId = 0;
    std::unique_ptr<Page> page;
    bool closed = false;
    // After a renderer's exit or hang, until the next navigation.
    bool pageDead = false;
    bool pageHung = false;
    // Counts navigations, so that a hang's reports end with its page.
    int documentNumber = 0;
    std::function<void()> browserProcessExit;
    int lastScriptId = 0;
    HWND contentWindow = nullptr;
    ControllerSide* controllerSide = nullptr;
    ui::ComRef<Settings> settings;
    // Navigations asked for, so that only the latest starts; and started.
    unsigned requestedNavigations = 0;
    UINT64 lastNavigationId = 0;
    // What the current document was loaded from, for a reload: the HTML of
    // NavigateToString, or nothing for a URI.
    std::optional<std::wstring> loadedHtml;
};

} // namespace tunewell::standin

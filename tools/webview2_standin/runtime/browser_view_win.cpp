#include "browser_view_win.h"

#include <objbase.h>

#include "chromium_page_win.h"
#include "co_task_text_win.h"
#include "handler_check_win.h"
#include "json_string.h"
#include "local_page_win.h"
#include "message_args_win.h"
#include "navigation_args_win.h"
#include "out_param_win.h"
#include "resource_args_win.h"
#include "uri_filter.h"

namespace tunewell::standin
{

namespace
{

const HRESULT invalidState = HRESULT_FROM_WIN32 (ERROR_INVALID_STATE);

// Where Microsoft documents a document given as a string to be.
constexpr wchar_t stringDocumentUri[] = L"about:blank";

// Asked of views handed back to the runtime; only its own answer.
const IID IID_StandinBrowserView = { 0x5e0c3b7a, 0x2d41, 0x4f6e, { 0x9a, 0x1c, 0x7b, 0x3e, 0x52, 0x80, 0xd4, 0x19 } };

HRESULT notImplemented (const wchar_t* operation)
{
    record (operation, L"E_NOTIMPL");
    return E_NOTIMPL;
}

std::wstring textOf (LPCWSTR text)
{
    return text != nullptr ? std::wstring (text) : std::wstring();
}

std::wstring utf8ToWide (const std::vector<unsigned char>& bytes)
{
    if (bytes.empty())
        return {};

    auto source = reinterpret_cast<const char*> (bytes.data());
    auto length = static_cast<int> (bytes.size());
    std::wstring text (static_cast<size_t> (MultiByteToWideChar (CP_UTF8, 0, source, length, nullptr, 0)), L'\0');
    MultiByteToWideChar (CP_UTF8, 0, source, length, text.data(), static_cast<int> (text.size()));
    return text;
}

bool isSuccessStatus (int status)
{
    return status >= 200 && status < 300;
}

} // namespace

template <typename Work>
HRESULT BrowserView::textCall (const wchar_t* operation, LPCWSTR text, Work&& work)
{
    return guarded ([&] {
        record (operation, textOf (text));
        if (closed)
            return invalidState;
        if (text == nullptr)
            return E_INVALIDARG;

        return work();
    });
}

BrowserView::BrowserView (std::shared_ptr<Dispatcher> threadDispatcher)
    : dispatcher (std::move (threadDispatcher)), settings (ui::ComRef<Settings>::adopt (new Settings()))
{
    StandinViewSink sink { this,
                           postWebMessageFromPage,
                           requestPermissionFromPage,
                           requestResourceFromPage,
                           isShownToPage,
                           failProcessOfPage,
                           newBrowserVersionOfPage,
                           navigateFromPage,
                           dropFileOnPage,
                           requestNewWindowFromPage,
                           pressKeyOnPage };
    auto* control = controlInterface();
    if (control != nullptr)
        viewId = control->attachView (&sink);

    if (control != nullptr && control->browserMode() == 1)
        page = std::make_unique<ChromiumPage> (viewId, static_cast<PageOwner&> (*this), *control);
    else
        page = std::make_unique<LocalPage> (viewId, static_cast<PageOwner&> (*this));
}

BrowserView::~BrowserView()
{
    close();
}

HRESULT BrowserView::QueryInterface (REFIID iid, void** object)
{
    if (object != nullptr && IsEqualIID (iid, IID_StandinBrowserView))
    {
        AddRef();
        *object = this;
        return S_OK;
    }

    return ComObject::QueryInterface (iid, object);
}

BrowserView* BrowserView::ownObject (ICoreWebView2* view)
{
    void* object = nullptr;
    if (view == nullptr || FAILED (view->QueryInterface (IID_StandinBrowserView, &object)))
        return nullptr;

    auto* own = static_cast<BrowserView*> (object);
    own->Release();
    return own;
}

void BrowserView::close()
{
    if (closed)
        return;

    closed = true;
    if (auto* control = controlInterface())
        control->detachView (viewId);

    // After Close, event handlers stop running and the runtime lets go of
    // them (reference of ICoreWebView2Controller::Close).
    events.clear();
    dispatcher->dropTasksOf (this);
}

int BrowserView::isShownToPage (void* context)
{
    auto* view = static_cast<BrowserView*> (context);
    return ! view->closed && IsWindowVisible (view->contentWindow) ? 1 : 0;
}

void BrowserView::placePage (int width, int height)
{
    if (! closed)
        page->resize (width, height);
}

void BrowserView::showPage (bool visible)
{
    if (! closed)
        page->setVisible (visible);
}

void BrowserView::later (std::function<void()> work)
{
    dispatcher->post ([self = ui::ComRef<ICoreWebView2>::share (this), work = std::move (work)] { work(); }, this);
}

void BrowserView::postWebMessageFromPage (void* context, const wchar_t* source, const wchar_t* text, int isJson)
{
    auto* view = static_cast<BrowserView*> (context);
    view->later ([view, from = source != nullptr ? std::optional<std::wstring> (source) : std::nullopt,
                  message = textOf (text),
                  isJson] { view->raiseWebMessage (from.value_or (view->page->source()), message, isJson != 0); });
}

void BrowserView::navigateFromPage (void* context, const wchar_t* uri)
{
    auto* view = static_cast<BrowserView*> (context);
    view->later ([view, target = textOf (uri)] {
        if (view->closed || view->pageDead)
            return;

        // A link the user clicked.
        ++view->requestedNavigations;
        view->navigateNow (target, true, view->loadUri (target));
    });
}

void BrowserView::dropFileOnPage (void* context, const wchar_t* path)
{
    auto* view = static_cast<BrowserView*> (context);
    view->later ([view, file = textOf (path)] { view->dropFile (file); });
}

void BrowserView::requestNewWindowFromPage (void* context, const wchar_t* uri)
{
    auto* view = static_cast<BrowserView*> (context);
    view->later ([view, target = textOf (uri)] { view->raiseNewWindowRequest (target); });
}

int BrowserView::pressKeyOnPage (void* context, const wchar_t* text)
{
    auto chord = parseKeyChord (textOf (text));
    if (! chord)
        return STANDIN_UNKNOWN_REQUEST;

    auto* view = static_cast<BrowserView*> (context);
    view->later ([view, pressed = *chord] { view->takeKey (pressed); });
    return 0;
}

bool BrowserView::navigateNow (const std::wstring& uri, bool userInitiated, const std::function<void()>& load)
{
    record (L"NavigationStarting", uri);
    auto* starting = new NavigationStartingArgs (uri, userInitiated, ++lastNavigationId);
    auto args = ui::ComRef<ICoreWebView2NavigationStartingEventArgs>::adopt (starting);

    for (auto& handler : events.handlersOf<ICoreWebView2NavigationStartingEventHandler> (L"NavigationStarting"))
        handler->Invoke (this, args.get());

    if (closed)
        return false;
    if (starting->cancelled())
    {
        record (L"NavigationCanceled", uri);
        return false;
    }

    pageReplaced();
    load();
    return true;
}

void BrowserView::navigateLater (const std::wstring& uri, bool userInitiated, std::function<void()> load)
{
    later ([this, number = ++requestedNavigations, uri, userInitiated, load = std::move (load)] {
        if (! closed && number == requestedNavigations)
            navigateNow (uri, userInitiated, load);
    });
}

std::function<void()> BrowserView::loadUri (const std::wstring& uri)
{
    return [this, uri] {
        loadedHtml.reset();
        page->navigate (uri);
    };
}

std::function<void()> BrowserView::loadString (const std::wstring& html)
{
    return [this, html] {
        loadedHtml = html;
        page->navigateToString (html);
    };
}

void BrowserView::reload (const std::wstring& reason)
{
    record (L"Reload", reason);
    if (loadedHtml)
        navigateLater (stringDocumentUri, true, loadString (*loadedHtml));
    else
        navigateLater (page->source(), true, loadUri (page->source()));
}

void BrowserView::dropFile (const std::wstring& path)
{
    if (closed)
        return;

    if (controllerSide != nullptr && ! controllerSide->allowsExternalDrop())
        return record (L"DropRefused", path);

    const auto uri = fileUriOf (path);
    ++requestedNavigations;
    navigateNow (uri, true, loadUri (uri));
}

void BrowserView::raiseNewWindowRequest (const std::wstring& uri)
{
    if (closed || pageDead)
        return;

    record (L"NewWindowRequested", uri);
    auto* request = new NewWindowArgs (uri);
    auto args = ui::ComRef<ICoreWebView2NewWindowRequestedEventArgs>::adopt (request);

    for (auto& handler : events.handlersOf<ICoreWebView2NewWindowRequestedEventHandler> (L"NewWindowRequested"))
        handler->Invoke (this, args.get());

    // A view given as the new window is navigated there; without one, and
    // unless a handler took the request, the browser opens a popup.
    if (auto* given = ownObject (request->newWindow()))
        given->navigateLater (uri, true, given->loadUri (uri));
    else if (! request->handled())
        record (L"NewWindow", uri);
}

void BrowserView::takeKey (const KeyChord& chord)
{
    if (closed)
        return;

    // Keys go to whichever window has the keyboard focus.
    if (controllerSide == nullptr || ! controllerSide->hasFocus())
        return record (L"KeyToHostWindow", chord.text);

    if (controllerSide->raiseAcceleratorKey (chord) || closed)
        return;

    const auto& current = settings->values();
    const bool browserKeys = current.browserAcceleratorKeys;
    switch (keyActionOf (chord))
    {
        case KeyAction::reload:
            if (browserKeys)
                reload (chord.text);
            return;
        case KeyAction::devTools:
            if (browserKeys && current.devTools)
                record (L"OpenDevToolsWindow", chord.text);
            return;
        case KeyAction::print:
            if (browserKeys)
                record (L"ShowPrintUI", chord.text);
            return;
        case KeyAction::find:
            if (browserKeys)
                record (L"Find", chord.text);
            return;
        case KeyAction::goBack:
            if (browserKeys)
                record (L"GoBack", chord.text);
            return;
        case KeyAction::goForward:
            if (browserKeys)
                record (L"GoForward", chord.text);
            return;
        case KeyAction::scroll:
            return record (L"Scroll", chord.text);
        case KeyAction::edit:
            return record (L"Edit", chord.text);
        case KeyAction::none:
            return;
    }
}

void BrowserView::requestPermissionFromPage (void* context, int requestId, int kind, const wchar_t* uri)
{
    auto* view = static_cast<BrowserView*> (context);
    view->later ([view, requestId, kind, uri = textOf (uri)] { view->raisePermissionRequest (requestId, kind, uri); });
}

void BrowserView::requestResourceFromPage (void* context, int requestId, const wchar_t* uri)
{
    auto* view = static_cast<BrowserView*> (context);
    view->later ([view, requestId, uri = textOf (uri)] {
        auto answer = view->raiseResourceRequest (uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT);
        if (auto* control = controlInterface())
            control->resourceAnswered (requestId, &answer.outcome, answer.reason.c_str(), answer.headers.c_str(),
                                       answer.body.data(), answer.body.size());
    });
}

void BrowserView::raiseWebMessage (const std::wstring& source, const std::wstring& message, bool isJson)
{
    if (closed || pageDead)
        return;

    record (L"WebMessageReceived", message);

    auto json = isJson ? message : jsonStringLiteral (message);
    auto text = isJson ? std::nullopt : std::optional<std::wstring> (message);
    auto args = ui::ComRef<ICoreWebView2WebMessageReceivedEventArgs>::adopt (new WebMessageArgs (source, json, text));

    for (auto& handler : events.handlersOf<ICoreWebView2WebMessageReceivedEventHandler> (L"WebMessageReceived"))
        handler->Invoke (this, args.get());
}

void BrowserView::raisePermissionRequest (int requestId, int kind, const std::wstring& uri)
{
    StandinPermissionOutcome outcome { 1, 0, S_OK, COREWEBVIEW2_PERMISSION_STATE_DEFAULT };

    if (! closed)
    {
        record (L"PermissionRequested", std::to_wstring (kind));

        auto* request = new PermissionArgs (uri, static_cast<COREWEBVIEW2_PERMISSION_KIND> (kind));
        auto args = ui::ComRef<ICoreWebView2PermissionRequestedEventArgs>::adopt (request);

        for (auto& handler : events.handlersOf<ICoreWebView2PermissionRequestedEventHandler> (L"PermissionRequested"))
        {
            outcome.handlerResult = handler->Invoke (this, args.get());
            outcome.handlerCount++;
        }
        outcome.state = request->state();
    }

    if (auto* control = controlInterface())
        control->permissionAnswered (requestId, &outcome);
}

bool BrowserView::isFiltered (const std::wstring& uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) const
{
    for (const auto& [filter, filterContext] : resourceFilters)
        if ((filterContext == COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL || filterContext == context)
            && matchesUriFilter (filter, uri))
            return true;

    return false;
}

BrowserView::ResourceAnswer BrowserView::raiseResourceRequest (const std::wstring& uri,
                                                               COREWEBVIEW2_WEB_RESOURCE_CONTEXT context)
{
    ResourceAnswer answer;
    answer.outcome.answered = 1;

    if (closed || ! isFiltered (uri, context))
        return answer;

    record (L"WebResourceRequested", uri);

    auto* request = new ResourceRequestArgs (uri, context);
    auto args = ui::ComRef<ICoreWebView2WebResourceRequestedEventArgs>::adopt (request);

    for (auto& handler : events.handlersOf<ICoreWebView2WebResourceRequestedEventHandler> (L"WebResourceRequested"))
    {
        answer.outcome.handlerResult = handler->Invoke (this, args.get());
        answer.outcome.handlerCount++;
    }

    auto* response = request->response();
    if (response == nullptr)
        return answer;

    answer.outcome.hasResponse = 1;
    response->get_StatusCode (&answer.outcome.statusCode);

    LPWSTR reason = nullptr;
    if (SUCCEEDED (response->get_ReasonPhrase (&reason)) && reason != nullptr)
        answer.reason = reason;
    CoTaskMemFree (reason);

    if (auto* own = ResourceResponse::ownObject (response))
        answer.headers = own->headerText();

    ui::ComRef<IStream> content;
    IStream* stream = nullptr;
    if (SUCCEEDED (response->get_Content (&stream)) && stream != nullptr)
    {
        content = ui::ComRef<IStream>::adopt (stream);
        answer.outcome.hasContent = 1;
        answer.body = readWholeStream (stream);
    }

    return answer;
}

void BrowserView::fetchDocument (const std::wstring& uri, std::function<void (std::optional<std::wstring>)> done)
{
    later ([this, uri, done = std::move (done)] {
        auto answer = raiseResourceRequest (uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT);
        if (answer.outcome.hasResponse && isSuccessStatus (answer.outcome.statusCode))
            done (utf8ToWide (answer.body));
        else
            done (std::nullopt);
    });
}

HRESULT BrowserView::get_Settings (ICoreWebView2Settings** out)
{
    if (out == nullptr)
        return E_POINTER;

    *out = nullptr;
    if (closed)
        return invalidState;

    settings->AddRef();
    *out = settings.get();
    return S_OK;
}

HRESULT BrowserView::get_Source (LPWSTR* uri)
{
    return guarded ([&] { return returnText (page->source(), uri); });
}

HRESULT BrowserView::Navigate (LPCWSTR uri)
{
    return textCall (L"Navigate", uri, [&] {
        navigateLater (uri, true, loadUri (uri));
        return S_OK;
    });
}

// NavigationStarting comes in a later turn, before the document is replaced.
HRESULT BrowserView::NavigateToString (LPCWSTR htmlContent)
{
    return textCall (L"NavigateToString", htmlContent, [&] {
        navigateLater (stringDocumentUri, true, loadString (htmlContent));
        return S_OK;
    });
}

HRESULT BrowserView::AddScriptToExecuteOnDocumentCreated (
    LPCWSTR javaScript, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler)
{
    return textCall (L"AddScriptToExecuteOnDocumentCreated", javaScript, [&] {
        if (! answersAsComObject (handler, IID_ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler))
            return E_NOINTERFACE;

        // The runtime applies the script asynchronously; only its completion
        // handler tells that later documents will have it.
        const int delay = currentBehaviour().documentScriptMilliseconds;
        const bool atOnce = delay < 0;
        std::wstring script = javaScript;
        if (atOnce)
            page->addScriptOnDocumentCreated (script);

        // Nothing is left to do later, and nothing queued may outlive a
        // runtime image that its caller unmaps with the view.
        if (atOnce && handler == nullptr)
            return S_OK;

        auto kept = ui::ComRef<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler>::share (handler);
        dispatcher->postAfter (atOnce ? 0 : delay, [self = ui::ComRef<ICoreWebView2>::share (this), this, script,
                                                    atOnce, kept, id = std::to_wstring (++lastScriptId)] {
            applyDocumentScript (script, atOnce, kept, id);
        });
        return S_OK;
    });
}

void BrowserView::applyDocumentScript (
    const std::wstring& script, bool alreadyApplied,
    const ui::ComRef<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler>& handler, const std::wstring& id)
{
    if (closed)
    {
        if (handler)
            handler->Invoke (invalidState, nullptr);
        return;
    }

    if (! alreadyApplied)
        page->addScriptOnDocumentCreated (script);

    if (handler)
        handler->Invoke (S_OK, id.c_str());
}

HRESULT BrowserView::RemoveScriptToExecuteOnDocumentCreated (LPCWSTR)
{
    return notImplemented (L"RemoveScriptToExecuteOnDocumentCreated");
}

HRESULT BrowserView::ExecuteScript (LPCWSTR javaScript, ICoreWebView2ExecuteScriptCompletedHandler* handler)
{
    return textCall (L"ExecuteScript", javaScript, [&] {
        // Script results are not modelled: a caller that asks for one is
        // refused rather than left waiting for a call that never comes.
        if (handler != nullptr)
            return E_NOTIMPL;

        if (! pageDead)
            page->executeScript (javaScript);
        return S_OK;
    });
}

HRESULT BrowserView::CapturePreview (COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT, IStream*,
                                     ICoreWebView2CapturePreviewCompletedHandler*)
{
    return notImplemented (L"CapturePreview");
}

HRESULT BrowserView::Reload()
{
    return guarded ([&] {
        if (! closed)
        {
            reload (L"");
            return S_OK;
        }

        record (L"Reload");
        return invalidState;
    });
}

HRESULT BrowserView::PostWebMessageAsJson (LPCWSTR webMessageAsJson)
{
    return textCall (L"PostWebMessageAsJson", webMessageAsJson, [&] {
        page->postWebMessage (webMessageAsJson);
        return S_OK;
    });
}

HRESULT BrowserView::PostWebMessageAsString (LPCWSTR webMessageAsString)
{
    return textCall (L"PostWebMessageAsString", webMessageAsString, [&] {
        page->postWebMessage (jsonStringLiteral (webMessageAsString));
        return S_OK;
    });
}

HRESULT BrowserView::CallDevToolsProtocolMethod (LPCWSTR, LPCWSTR,
                                                 ICoreWebView2CallDevToolsProtocolMethodCompletedHandler*)
{
    return notImplemented (L"CallDevToolsProtocolMethod");
}

HRESULT BrowserView::get_BrowserProcessId (UINT32* value)
{
    return returnValue (GetCurrentProcessId(), value);
}

HRESULT BrowserView::get_CanGoBack (BOOL* canGoBack)
{
    return returnValue (FALSE, canGoBack);
}

HRESULT BrowserView::get_CanGoForward (BOOL* canGoForward)
{
    return returnValue (FALSE, canGoForward);
}

HRESULT BrowserView::GoBack()
{
    return notImplemented (L"GoBack");
}

HRESULT BrowserView::GoForward()
{
    return notImplemented (L"GoForward");
}

HRESULT BrowserView::GetDevToolsProtocolEventReceiver (LPCWSTR, ICoreWebView2DevToolsProtocolEventReceiver** receiver)
{
    clearOut (receiver);
    return notImplemented (L"GetDevToolsProtocolEventReceiver");
}

HRESULT BrowserView::Stop()
{
    return notImplemented (L"Stop");
}

HRESULT BrowserView::get_DocumentTitle (LPWSTR* title)
{
    return guarded ([&] { return returnText (L"", title); });
}

HRESULT BrowserView::AddHostObjectToScript (LPCWSTR, VARIANT*)
{
    return notImplemented (L"AddHostObjectToScript");
}

HRESULT BrowserView::RemoveHostObjectFromScript (LPCWSTR)
{
    return notImplemented (L"RemoveHostObjectFromScript");
}

HRESULT BrowserView::OpenDevToolsWindow()
{
    return notImplemented (L"OpenDevToolsWindow");
}

HRESULT BrowserView::get_ContainsFullScreenElement (BOOL* containsFullScreenElement)
{
    return returnValue (FALSE, containsFullScreenElement);
}

HRESULT BrowserView::AddWebResourceRequestedFilter (const LPCWSTR uri,
                                                    const COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext)
{
    return guarded ([&] {
        record (L"AddWebResourceRequestedFilter", textOf (uri) + L"\t" + std::to_wstring (resourceContext));
        if (closed)
            return invalidState;
        if (uri == nullptr)
            return E_INVALIDARG;

        resourceFilters.emplace_back (uri, resourceContext);
        return S_OK;
    });
}

HRESULT BrowserView::RemoveWebResourceRequestedFilter (const LPCWSTR uri,
                                                       const COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext)
{
    return guarded ([&] {
        record (L"RemoveWebResourceRequestedFilter", textOf (uri) + L"\t" + std::to_wstring (resourceContext));
        if (uri == nullptr)
            return E_INVALIDARG;

        for (auto filter = resourceFilters.begin(); filter != resourceFilters.end(); ++filter)
            if (filter->first == uri && filter->second == resourceContext)
            {
                resourceFilters.erase (filter);
                return S_OK;
            }

        return E_INVALIDARG;
    });
}

// Every event can be registered and removed; only WebMessageReceived,
// PermissionRequested, WebResourceRequested, ProcessFailed, NavigationStarting
// and NewWindowRequested are ever raised.
TUNEWELL_STANDIN_EVENT (BrowserView, NavigationStarting, ICoreWebView2NavigationStartingEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, ContentLoading, ICoreWebView2ContentLoadingEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, SourceChanged, ICoreWebView2SourceChangedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, HistoryChanged, ICoreWebView2HistoryChangedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, NavigationCompleted, ICoreWebView2NavigationCompletedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, FrameNavigationStarting, ICoreWebView2NavigationStartingEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, FrameNavigationCompleted, ICoreWebView2NavigationCompletedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, ScriptDialogOpening, ICoreWebView2ScriptDialogOpeningEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, PermissionRequested, ICoreWebView2PermissionRequestedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, ProcessFailed, ICoreWebView2ProcessFailedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, WebMessageReceived, ICoreWebView2WebMessageReceivedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, NewWindowRequested, ICoreWebView2NewWindowRequestedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, DocumentTitleChanged, ICoreWebView2DocumentTitleChangedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, ContainsFullScreenElementChanged,
                        ICoreWebView2ContainsFullScreenElementChangedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, WebResourceRequested, ICoreWebView2WebResourceRequestedEventHandler)
TUNEWELL_STANDIN_EVENT (BrowserView, WindowCloseRequested, ICoreWebView2WindowCloseRequestedEventHandler)

} // namespace tunewell::standin

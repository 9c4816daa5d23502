// The control DLL's C boundary: each export checks its arguments and forwards
// to the one ControlState of the process.

#include "../standin_runtime.h"
#include "chromium_mode_win.h"
#include "control_state.h"
#include "text/utf16.h"
#include "text_copy.h"

using tunewell::standin::ChromiumMode;
using tunewell::standin::ControlState;
using tunewell::standin::copyBytes;
using tunewell::standin::copyText;
using tunewell::standin::textOrEmpty;

namespace
{

// Nothing may unwind through the C boundary; running out of memory while
// recording loses that record only.
template <typename Result, typename Action>
Result withoutThrowing (Result fallback, Action&& action) noexcept
{
    try
    {
        return action();
    }
    catch (...)
    {
        return fallback;
    }
}

ControlState& makeState()
{
    static ControlState instance;
    instance.takeBrowserProcessPlan (std::getenv ("TUNEWELL_STANDIN_BROWSER_PROCESS"));
    return instance;
}

ControlState& state()
{
    static ControlState& instance = makeState();
    return instance;
}

ChromiumMode& chromium()
{
    static ChromiumMode instance (state());
    return instance;
}

// The request's members are added inside the guard: building a value may throw.
template <typename AddMembers>
int askBrowser (const char* op, AddMembers&& addMembers)
{
    return withoutThrowing (STANDIN_BROWSER_UNREACHABLE, [&] {
        auto request = tunewell::standin::wire::request (op);
        addMembers (request);
        return chromium().ask (std::move (request));
    });
}

template <typename Deliver>
int raiseOnCurrentView (Deliver&& deliver)
{
    return withoutThrowing (STANDIN_NO_VIEW, [&deliver] {
        auto sink = state().currentSink();
        return sink ? deliver (*sink) : STANDIN_NO_VIEW;
    });
}

const ControlState::LogEntry* logEntry (size_t index)
{
    const auto& log = state().log();
    return index < log.size() ? &log[index] : nullptr;
}

const ControlState::ResourceAnswer* resourceAnswer (int requestId)
{
    return state().resource (requestId);
}

} // namespace

extern "C"
{

void standin_reset (void)
{
    state().reset();
}

void standin_fail_environment_call (int32_t result)
{
    state().plan.callResult = result;
}

void standin_fail_environment_creation (int32_t result, int withoutEnvironment)
{
    state().plan.environmentResult = result;
    state().plan.withoutEnvironment = withoutEnvironment;
}

void standin_fail_controller_creation (int32_t result, int withoutController)
{
    state().plan.controllerResult = result;
    state().plan.withoutController = withoutController;
}

void standin_delay_creation (int milliseconds)
{
    state().plan.delayMilliseconds = milliseconds < 0 ? 0 : milliseconds;
}

void standin_hold_creation (void)
{
    state().plan.holdTicket = ++state().lastHoldTicket;
}

void standin_answer_held_creations (void)
{
    state().plan.holdTicket = 0;
    state().answeredHoldTickets = state().lastHoldTicket;
}

int standin_held_creation_count (void)
{
    return state().heldCreations;
}

void standin_check_apartment (int enabled)
{
    state().behaviour.checkApartment = enabled != 0;
}

void standin_query_handlers (int enabled)
{
    state().behaviour.queryHandlers = enabled != 0;
}

void standin_delay_document_scripts (int milliseconds)
{
    state().behaviour.documentScriptMilliseconds = milliseconds < 0 ? -1 : milliseconds;
}

void standin_close_controllers_with_parent (int enabled)
{
    state().behaviour.closeWithParent = enabled != 0;
}

void standin_plan_browser_process (int coldStartMilliseconds, int attachMilliseconds, int exitMilliseconds,
                                   int creationDuringExit)
{
    auto& behaviour = state().behaviour;
    behaviour.coldStartMilliseconds = std::max (coldStartMilliseconds, 0);
    behaviour.attachMilliseconds = std::max (attachMilliseconds, 0);
    behaviour.exitMilliseconds = std::max (exitMilliseconds, 0);
    behaviour.creationDuringExit = creationDuringExit == STANDIN_EXIT_RACE_HANGS ? STANDIN_EXIT_RACE_HANGS
                                                                                 : STANDIN_EXIT_RACE_FAILS;
}

int standin_browser_start_count (void)
{
    return state().browserStarts;
}

int standin_running_browser_count (void)
{
    return state().runningBrowsers;
}

int standin_fail_process (int kind)
{
    return raiseOnCurrentView ([kind] (const StandinViewSink& sink) {
        sink.failProcess (sink.context, kind);
        return 0;
    });
}

void standin_new_browser_version (void)
{
    const int version = ++state().behaviour.browserVersion;
    ++state().baseline.browserVersion;

    // Copied first: a raise may attach or detach views.
    for (const auto& sink : state().allSinks())
        if (sink.newBrowserVersion != nullptr)
            sink.newBrowserVersion (sink.context, version);
}

int standin_post_web_message (const wchar_t* text)
{
    return raiseOnCurrentView ([text] (const StandinViewSink& sink) {
        sink.postWebMessage (sink.context, nullptr, text != nullptr ? text : L"", 0);
        return 0;
    });
}

int standin_post_web_message_json (const wchar_t* json)
{
    return raiseOnCurrentView ([json] (const StandinViewSink& sink) {
        sink.postWebMessage (sink.context, nullptr, json != nullptr ? json : L"null", 1);
        return 0;
    });
}

int standin_post_web_message_from (const wchar_t* source, const wchar_t* text)
{
    return raiseOnCurrentView ([source, text] (const StandinViewSink& sink) {
        sink.postWebMessage (sink.context, source != nullptr ? source : L"", text != nullptr ? text : L"", 0);
        return 0;
    });
}

int standin_drop_file (const wchar_t* path)
{
    return raiseOnCurrentView ([path] (const StandinViewSink& sink) {
        sink.dropFile (sink.context, path != nullptr ? path : L"");
        return 0;
    });
}

int standin_navigate_page (const wchar_t* uri)
{
    return raiseOnCurrentView ([uri] (const StandinViewSink& sink) {
        sink.navigatePage (sink.context, uri != nullptr ? uri : L"");
        return 0;
    });
}

int standin_request_new_window (const wchar_t* uri)
{
    return raiseOnCurrentView ([uri] (const StandinViewSink& sink) {
        sink.requestNewWindow (sink.context, uri != nullptr ? uri : L"");
        return 0;
    });
}

int standin_press_key (const wchar_t* chord)
{
    return raiseOnCurrentView (
        [chord] (const StandinViewSink& sink) { return sink.pressKey (sink.context, chord != nullptr ? chord : L""); });
}

int standin_request_permission (int kind, const wchar_t* uri)
{
    return raiseOnCurrentView ([kind, uri] (const StandinViewSink& sink) {
        auto id = state().newRequestId();
        state().expectPermission (id);
        sink.requestPermission (sink.context, id, kind, uri != nullptr ? uri : L"");
        return id;
    });
}

int standin_request_resource (const wchar_t* uri)
{
    return raiseOnCurrentView ([uri] (const StandinViewSink& sink) {
        auto id = state().newRequestId();
        state().expectResource (id);
        sink.requestResource (sink.context, id, uri != nullptr ? uri : L"");
        return id;
    });
}

int standin_permission_outcome (int requestId, StandinPermissionOutcome* outcome)
{
    auto* found = state().permission (requestId);
    if (found == nullptr || outcome == nullptr)
        return STANDIN_UNKNOWN_REQUEST;

    *outcome = *found;
    return 0;
}

int standin_resource_outcome (int requestId, StandinResourceOutcome* outcome)
{
    auto* found = resourceAnswer (requestId);
    if (found == nullptr || outcome == nullptr)
        return STANDIN_UNKNOWN_REQUEST;

    *outcome = found->outcome;
    return 0;
}

size_t standin_resource_reason (int requestId, wchar_t* buffer, size_t capacity)
{
    auto* found = resourceAnswer (requestId);
    return copyText (found != nullptr ? found->reason : std::wstring(), buffer, capacity);
}

size_t standin_resource_headers (int requestId, wchar_t* buffer, size_t capacity)
{
    auto* found = resourceAnswer (requestId);
    return copyText (found != nullptr ? found->headers : std::wstring(), buffer, capacity);
}

size_t standin_resource_body (int requestId, unsigned char* buffer, size_t capacity)
{
    auto* found = resourceAnswer (requestId);
    return copyBytes (found != nullptr ? found->body : std::vector<unsigned char>(), buffer, capacity);
}

size_t standin_log_count (void)
{
    return state().log().size();
}

size_t standin_log_operation (size_t index, wchar_t* buffer, size_t capacity)
{
    auto* entry = logEntry (index);
    return copyText (entry != nullptr ? entry->operation : std::wstring(), buffer, capacity);
}

size_t standin_log_text (size_t index, wchar_t* buffer, size_t capacity)
{
    auto* entry = logEntry (index);
    return copyText (entry != nullptr ? entry->text : std::wstring(), buffer, capacity);
}

int standin_document_count (void)
{
    return state().currentDocument().count;
}

size_t standin_document_source (wchar_t* buffer, size_t capacity)
{
    return copyText (state().currentDocument().source, buffer, capacity);
}

size_t standin_document_html (wchar_t* buffer, size_t capacity)
{
    return copyText (state().currentDocument().html, buffer, capacity);
}

size_t standin_document_script_count (void)
{
    return state().currentDocument().scripts.size();
}

size_t standin_document_script (size_t index, wchar_t* buffer, size_t capacity)
{
    const auto& scripts = state().currentDocument().scripts;
    return copyText (index < scripts.size() ? scripts[index] : std::wstring(), buffer, capacity);
}

int standin_open_view_count (void)
{
    return state().openViewCount();
}

int standin_live_object_count (void)
{
    return state().liveObjects;
}

int standin_chromium_connect (const wchar_t* address)
{
    return withoutThrowing (STANDIN_BROWSER_UNREACHABLE, [address] {
        auto text = tunewell::text::utf16ToUtf8 (textOrEmpty (address));
        return chromium().connect (text) == ChromiumMode::connected ? 0 : STANDIN_BROWSER_UNREACHABLE;
    });
}

int standin_chromium_mode (void)
{
    return withoutThrowing (static_cast<int> (ChromiumMode::unreachable),
                            [] { return static_cast<int> (chromium().status()); });
}

int standin_chromium_screenshot (const wchar_t* path)
{
    return askBrowser ("screenshot", [path] (tunewell::value::Value& request) {
        request.addMember ("path", tunewell::value::Value (tunewell::text::utf16ToUtf8 (textOrEmpty (path))));
    });
}

int standin_chromium_click_song (int index)
{
    return askBrowser ("clickSong", [index] (tunewell::value::Value& request) {
        request.addMember ("index", tunewell::value::Value (index));
    });
}

int standin_chromium_click_close (void)
{
    return askBrowser ("clickClose", [] (tunewell::value::Value&) {});
}

int standin_chromium_list_texts (void)
{
    return askBrowser ("listTexts", [] (tunewell::value::Value&) {});
}

size_t standin_chromium_reply (wchar_t* buffer, size_t capacity)
{
    return copyText (tunewell::text::utf8ToUtf16 (chromium().lastDetail()), buffer, capacity);
}

} // extern "C"

namespace
{

void readPlan (StandinCreationPlan* plan)
{
    if (plan != nullptr)
        *plan = state().currentPlan();
}

void readBehaviour (StandinBehaviour* behaviour)
{
    if (behaviour != nullptr)
        *behaviour = state().behaviour;
}

void record (const wchar_t* operation, const wchar_t* text)
{
    withoutThrowing (0, [=] {
        state().record (textOrEmpty (operation), textOrEmpty (text));
        return 0;
    });
}

int attachView (const StandinViewSink* sink)
{
    return withoutThrowing (0, [sink] {
        if (sink == nullptr)
            return 0;

        auto viewId = state().attachView (*sink);
        chromium().viewAttached (viewId);
        return viewId;
    });
}

void detachView (int viewId)
{
    state().detachView (viewId);
    withoutThrowing (0, [viewId] {
        chromium().viewDetached (viewId);
        return 0;
    });
}

int browserMode()
{
    return withoutThrowing (static_cast<int> (ChromiumMode::unreachable),
                            [] { return static_cast<int> (chromium().status()); });
}

void sendToBrowser (const char* line)
{
    if (line == nullptr)
        return;

    withoutThrowing (0, [line] {
        chromium().send (line);
        return 0;
    });
}

void beginDocument (int viewId, const wchar_t* source, const wchar_t* html)
{
    withoutThrowing (0, [=] {
        state().beginDocument (viewId, textOrEmpty (source), textOrEmpty (html));
        return 0;
    });
}

void scriptRan (int viewId, const wchar_t* script)
{
    withoutThrowing (0, [=] {
        state().scriptRan (viewId, textOrEmpty (script));
        return 0;
    });
}

void permissionAnswered (int requestId, const StandinPermissionOutcome* outcome)
{
    if (outcome != nullptr)
        state().permissionAnswered (requestId, *outcome);
}

void resourceAnswered (int requestId, const StandinResourceOutcome* outcome, const wchar_t* reason,
                       const wchar_t* headers, const unsigned char* body, size_t bodyLength)
{
    if (outcome == nullptr)
        return;

    withoutThrowing (0, [=] {
        ControlState::ResourceAnswer answer;
        answer.outcome = *outcome;
        answer.reason = textOrEmpty (reason);
        answer.headers = textOrEmpty (headers);
        if (body != nullptr)
            answer.body.assign (body, body + bodyLength);

        state().resourceAnswered (requestId, std::move (answer));
        return 0;
    });
}

void objectCreated()
{
    state().liveObjects++;
}

void objectDestroyed()
{
    state().liveObjects--;
}

void creationHeld (int change)
{
    state().heldCreations += change;
}

void browserProcessChanged (int change)
{
    state().runningBrowsers += change;
    if (change > 0)
        state().browserStarts++;
}

int newHoldTicket()
{
    return ++state().lastHoldTicket;
}

const StandinRuntimeInterface runtimeInterface = {
    STANDIN_RUNTIME_INTERFACE_VERSION,
    readPlan,
    record,
    attachView,
    detachView,
    beginDocument,
    scriptRan,
    permissionAnswered,
    resourceAnswered,
    objectCreated,
    objectDestroyed,
    browserMode,
    sendToBrowser,
    creationHeld,
    readBehaviour,
    browserProcessChanged,
    newHoldTicket,
};

} // namespace

extern "C" const StandinRuntimeInterface* standin_runtime_interface (void)
{
    return &runtimeInterface;
}

#ifndef TUNEWELL_STANDIN_CONTROL_H
#define TUNEWELL_STANDIN_CONTROL_H

/* Test-side control of the stand-in WebView2 runtime.
 *
 * The functions live in webview2_standin_control.dll, which holds the state
 * shared by the runtime (however it was loaded, from disk or mapped from
 * memory) and the test that drives it. Call them on the thread that runs the
 * browser views; they are not meant for concurrent use.
 *
 * Texts are UTF-16. Functions that copy a text take (buffer, capacity in
 * units), write at most capacity - 1 units and a terminator (nothing when
 * capacity is 0 or buffer is null) and return the full length of the text, so
 * a caller can ask for the length first. The body copy works alike with bytes
 * and no terminator.
 *
 * "The current view" is the most recently created browser view that is still
 * open. Operations that need one return STANDIN_NO_VIEW without it. */

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C"
{
#endif

#if defined(TUNEWELL_STANDIN_CONTROL_BUILD)
#define STANDIN_CONTROL_API __declspec(dllexport)
#else
#define STANDIN_CONTROL_API __declspec(dllimport)
#endif

#define STANDIN_NO_VIEW (-1)
#define STANDIN_UNKNOWN_REQUEST (-2)
#define STANDIN_BROWSER_REFUSED (-3)
#define STANDIN_BROWSER_UNREACHABLE (-4)

/* Forgets the log, the documents, the outcomes and every planned failure,
 * delay or hold; held creations are dropped. Open views stay attached. */
STANDIN_CONTROL_API void standin_reset (void);

/* Creation plans, kept until standin_reset. A zero result means success. */

/* The runtime's creation call (CreateCoreWebView2EnvironmentWithOptions, or
 * CreateWebViewEnvironmentWithOptionsInternal from Microsoft's loader)
 * returns this result at once and never calls its handler. */
STANDIN_CONTROL_API void standin_fail_environment_call (int32_t result);
/* The environment handler is invoked with this result, and with no
 * environment when withoutEnvironment is non-zero. */
STANDIN_CONTROL_API void standin_fail_environment_creation (int32_t result, int withoutEnvironment);
/* The controller handler is invoked with this result, and with no controller
 * when withoutController is non-zero. */
STANDIN_CONTROL_API void standin_fail_controller_creation (int32_t result, int withoutController);
/* Each completion handler runs only after this many milliseconds, on a timer
 * of the creating thread: the thread's queue stays idle meanwhile, so its
 * timers and a quit are taken as without the delay. */
STANDIN_CONTROL_API void standin_delay_creation (int milliseconds);
/* The next environment creations never complete on their own, as when the
 * browser process hangs at start: the runtime keeps their handlers until
 * standin_answer_held_creations answers them (late, with the plan they
 * started under) or standin_reset drops them unanswered. Either happens at
 * the creating thread's next timer turn after the call. */
STANDIN_CONTROL_API void standin_hold_creation (void);
STANDIN_CONTROL_API void standin_answer_held_creations (void);
/* Environment creations held now (started, neither answered nor dropped). */
STANDIN_CONTROL_API int standin_held_creation_count (void);

/* Behaviours of Microsoft's runtime that the stand-in models (README.md gives
 * the source of each), switched on or off until standin_reset restores the
 * defaults named here. */

/* Non-zero (the default): creation on a thread that joined the multithreaded
 * apartment fails at once with RPC_E_CHANGED_MODE. */
STANDIN_CONTROL_API void standin_check_apartment (int enabled);
/* Non-zero (the default): every handler that the runtime is given (completion
 * and event handlers) is asked for IUnknown and for its own interface, as any
 * COM caller may; when it refuses either, the call that handed it over fails
 * with E_NOINTERFACE and keeps nothing. */
STANDIN_CONTROL_API void standin_query_handlers (int enabled);
/* A script added for documents to come (AddScriptToExecuteOnDocumentCreated)
 * applies only once its completion handler has run, this many milliseconds
 * after the call (0: the next turn; 10 by default), on a timer of the view's
 * thread; documents begun before then lack it. Negative: it applies within
 * the call, and the handler is still told in a later turn. */
STANDIN_CONTROL_API void standin_delay_document_scripts (int milliseconds);
/* Non-zero (the default): controllers created from now on close by
 * themselves, with their views, when their parent window is destroyed. Zero:
 * they stay open, with their content gone. */
STANDIN_CONTROL_API void standin_close_controllers_with_parent (int enabled);

/* One browser process per user data folder, shared by every environment and
 * controller of this process made on that folder (names compared without
 * case). The first environment starts it cold: its handler runs after
 * coldStartMilliseconds; later ones attach after attachMilliseconds (or when
 * the cold start is done, if later). The process exits exitMilliseconds after
 * its last controller closed; an environment created meanwhile races that
 * exit: with STANDIN_EXIT_RACE_FAILS its handler is told
 * HRESULT_FROM_WIN32 (ERROR_INVALID_STATE) after the attach delay, with
 * STANDIN_EXIT_RACE_HANGS it never completes (held as by
 * standin_hold_creation). A controller asked of an environment whose browser
 * is exiting or gone fails alike through its handler. By default the start is
 * cold after 40 ms, an attach takes 5 ms, the exit comes 100 ms after the
 * last controller and a racing creation fails; the test's own plan, or
 * TUNEWELL_STANDIN_BROWSER_PROCESS=cold,attach,exit read when the control is
 * first used (the benchmark's 2000,150,...), replaces them.
 * A reset forgets the browsers of earlier tests. */
#define STANDIN_EXIT_RACE_FAILS 0
#define STANDIN_EXIT_RACE_HANGS 1
STANDIN_CONTROL_API void standin_plan_browser_process (int coldStartMilliseconds, int attachMilliseconds,
                                                       int exitMilliseconds, int creationDuringExit);
/* Cold starts since the last reset, and browsers running (or exiting) now. */
STANDIN_CONTROL_API int standin_browser_start_count (void);
STANDIN_CONTROL_API int standin_running_browser_count (void);

/* Page events of the current view, delivered later through its thread's
 * message queue to the handlers registered at that time. */

/* A process behind the current view fails, and ProcessFailed is raised with
 * this COREWEBVIEW2_PROCESS_FAILED_KIND, as Microsoft's runtime does:
 * 0, the browser process exited: it is raised on every view of that browser,
 *    whose views and controllers all close; the browser no longer runs, and
 *    BrowserProcessExited is raised on its environments.
 * 1, the renderer exited: the page is dead (scripts and page events no longer
 *    reach it) until the next navigation.
 * 2, the renderer hangs: the page is dead as above, and the event is raised
 *    again every 200 ms until the next navigation.
 * 3 to 9 and any other kind (a subframe's renderer, the GPU, utility,
 *    sandbox helper, plug-in or unknown process): the runtime recovers by
 *    itself and the page goes on working. */
STANDIN_CONTROL_API int standin_fail_process (int kind);
/* A newer runtime was installed: NewBrowserVersionAvailable is raised, in a
 * later turn, on every environment of a runtime with an open view. Browsers
 * that start from now on run the new version; running ones keep theirs. */
STANDIN_CONTROL_API void standin_new_browser_version (void);
/* A message that the page posted as a string. */
STANDIN_CONTROL_API int standin_post_web_message (const wchar_t* text);
/* A message that the page posted as a JSON value that is not a string
 * ("{\"a\":1}", "42", ...). */
STANDIN_CONTROL_API int standin_post_web_message_json (const wchar_t* json);
/* A message posted as a string by a document of this source URI (a
 * subframe, say) rather than by the current document; the handlers read that
 * URI from the arguments' get_Source. */
STANDIN_CONTROL_API int standin_post_web_message_from (const wchar_t* source, const wchar_t* text);

/* What a user or the page does, taken as Microsoft's runtime takes it with
 * the view's settings (defaults unless the host changed them). Each returns 0
 * when delivered and STANDIN_NO_VIEW without a view; the effect comes in a
 * later turn, and every navigation raises NavigationStarting first, whose
 * Cancel keeps the current document (logged "NavigationCanceled").
 *
 * A file (a path such as C:\music\list.txt) is dragged from outside and
 * dropped onto the view: with AllowExternalDrop (the default) the page
 * navigates to the file's file:/// URI; without, nothing happens and the log
 * shows "DropRefused" with the path. */
STANDIN_CONTROL_API int standin_drop_file (const wchar_t* path);
/* The page navigates itself, as a link the user clicks does (user-initiated). */
STANDIN_CONTROL_API int standin_navigate_page (const wchar_t* uri);
/* The page asks for a new window (window.open, a link with a target), as
 * the user's click does: NewWindowRequested is raised; when no handler marked
 * it Handled nor gave a NewWindow, the runtime opens a popup, logged
 * "NewWindow" with the URI. A view given as NewWindow navigates to the URI. */
STANDIN_CONTROL_API int standin_request_new_window (const wchar_t* uri);
/* A key pressed on the keyboard: "F5", "Ctrl+R", "Ctrl+Shift+C", "Alt+Left",
 * "PageDown", ... (modifiers Ctrl+, Shift+, Alt+ before one key: A to Z, 0 to
 * 9, F1 to F12, Left, Right, Up, Down, PageUp, PageDown, Home, End, Escape).
 * Keys reach the view only while it has the keyboard focus (MoveFocus put it
 * into the content window, and no other window has taken it since); without
 * it the key goes to the host's window and the log shows "KeyToHostWindow".
 * With the focus, AcceleratorKeyPressed is raised (KEY_DOWN, SYSTEM_KEY_DOWN
 * with Alt) whatever the settings; unless a handler marked it Handled, the
 * browser acts, logged with the chord: with browser accelerator keys enabled
 * "Reload" (F5, Ctrl+R: the document is loaded again), "OpenDevToolsWindow"
 * (F12, Ctrl+Shift+C/I/J, only with DevTools enabled), "ShowPrintUI"
 * (Ctrl+P), "Find" (Ctrl+F, F3), "GoBack"/"GoForward" (Alt+Left/Right,
 * history not modelled); whatever the settings "Scroll" (PageUp, PageDown,
 * Home, End, arrows) and "Edit" (Ctrl+A, C, V, X, Z). STANDIN_UNKNOWN_REQUEST
 * for any other key name, and for a letter or digit without Ctrl or Alt,
 * which types text (not modelled). */
STANDIN_CONTROL_API int standin_press_key (const wchar_t* chord);
/* Asks for a permission; returns a request identifier (> 0). */
STANDIN_CONTROL_API int standin_request_permission (int kind, const wchar_t* uri);
/* Asks for a resource; returns a request identifier (> 0). The request is
 * raised only when it matches one of the view's resource filters. */
STANDIN_CONTROL_API int standin_request_resource (const wchar_t* uri);

typedef struct StandinPermissionOutcome
{
    int answered;          /* 0 while the request is still queued */
    int handlerCount;      /* handlers that were invoked */
    int32_t handlerResult; /* the last handler's result */
    int state;             /* COREWEBVIEW2_PERMISSION_STATE after the handlers */
} StandinPermissionOutcome;

/* 0, or STANDIN_UNKNOWN_REQUEST. */
STANDIN_CONTROL_API int standin_permission_outcome (int requestId, StandinPermissionOutcome* outcome);

typedef struct StandinResourceOutcome
{
    int answered;          /* 0 while the request is still queued */
    int handlerCount;      /* 0 when no filter matched or nobody listened */
    int32_t handlerResult; /* the last handler's result */
    int hasResponse;       /* a response was put on the arguments */
    int hasContent;        /* that response carried a content stream */
    int statusCode;
} StandinResourceOutcome;

STANDIN_CONTROL_API int standin_resource_outcome (int requestId, StandinResourceOutcome* outcome);
STANDIN_CONTROL_API size_t standin_resource_reason (int requestId, wchar_t* buffer, size_t capacity);
STANDIN_CONTROL_API size_t standin_resource_headers (int requestId, wchar_t* buffer, size_t capacity);
/* The content stream's bytes, read from its position when it was answered. */
STANDIN_CONTROL_API size_t standin_resource_body (int requestId, unsigned char* buffer, size_t capacity);

/* Everything the views did, in order. Each entry names the operation
 * ("ExecuteScript", "put_Bounds", "add_WebMessageReceived", ...) and its text:
 * the call's text argument, or its values joined by single tabs (bounds as
 * left, top, right, bottom; a filter as uri and context; visibility as 0/1). */
STANDIN_CONTROL_API size_t standin_log_count (void);
STANDIN_CONTROL_API size_t standin_log_operation (size_t index, wchar_t* buffer, size_t capacity);
STANDIN_CONTROL_API size_t standin_log_text (size_t index, wchar_t* buffer, size_t capacity);

/* The current view's document: how many documents it has had, the source and
 * HTML of the latest, and the scripts that ran in it, in order (document
 * creation scripts first). */
STANDIN_CONTROL_API int standin_document_count (void);
STANDIN_CONTROL_API size_t standin_document_source (wchar_t* buffer, size_t capacity);
STANDIN_CONTROL_API size_t standin_document_html (wchar_t* buffer, size_t capacity);
STANDIN_CONTROL_API size_t standin_document_script_count (void);
STANDIN_CONTROL_API size_t standin_document_script (size_t index, wchar_t* buffer, size_t capacity);

/* Browser views that are open now, and objects of the runtime still alive. */
STANDIN_CONTROL_API int standin_open_view_count (void);
STANDIN_CONTROL_API int standin_live_object_count (void);

/* Chromium mode: every view's page is also shown in a real Chromium, run by
 * the driver in tools/chromium_driver, reached over loopback TCP. Recording
 * goes on as before. Asked for by TUNEWELL_STANDIN_CHROMIUM=127.0.0.1:PORT
 * (read when the first view is created) or by standin_chromium_connect.
 * While it is asked for but unreachable, environment creation fails with
 * HRESULT_FROM_WIN32 (ERROR_CONNECTION_REFUSED).
 *
 * The requests act on the current view's page and wait for the driver's
 * answer, at most 15 seconds. They return 0, STANDIN_BROWSER_REFUSED when the
 * driver answered with an error (the page has no such song, the view is
 * hidden, ...), or STANDIN_BROWSER_UNREACHABLE without a driver, when the
 * link broke or no answer came in time. standin_chromium_reply then copies
 * the answer: the result as JSON text, or the reason for the failure. */

/* 0, or STANDIN_BROWSER_UNREACHABLE; address is "127.0.0.1:PORT". */
STANDIN_CONTROL_API int standin_chromium_connect (const wchar_t* address);
/* 1 connected, 0 not asked for, -1 asked for but unreachable. */
STANDIN_CONTROL_API int standin_chromium_mode (void);
/* Saves a PNG of the page at this path (a path of the driver's machine). */
STANDIN_CONTROL_API int standin_chromium_screenshot (const wchar_t* path);
/* A real mouse click on the link of the song bar at this position. */
STANDIN_CONTROL_API int standin_chromium_click_song (int index);
/* A real mouse click on the page's close button. */
STANDIN_CONTROL_API int standin_chromium_click_close (void);
/* The reply is a JSON array of the text of each song bar, in order. */
STANDIN_CONTROL_API int standin_chromium_list_texts (void);
STANDIN_CONTROL_API size_t standin_chromium_reply (wchar_t* buffer, size_t capacity);

#ifdef __cplusplus
}
#endif

#endif

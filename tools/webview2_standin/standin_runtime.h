#ifndef TUNEWELL_STANDIN_RUNTIME_H
#define TUNEWELL_STANDIN_RUNTIME_H

/* The runtime side of webview2_standin_control.dll: what the stand-in runtime
 * reports to, and takes its plans and page events from. It reaches it through
 * one export, standin_runtime_interface, so that a copy of the runtime mapped
 * from memory needs nothing from the loader but LoadLibrary and
 * GetProcAddress. Same thread rules as standin_control.h. */

#include "standin_control.h"

#ifdef __cplusplus
extern "C"
{
#endif

#define STANDIN_RUNTIME_INTERFACE_VERSION 6

/* One browser view as seen by the control: where it takes page events. The
 * context is the view's own; the functions queue the event on its thread. */
typedef struct StandinViewSink
{
    void* context;
    /* A message of the document at source, or of the current document when
     * source is null. */
    void (*postWebMessage) (void* context, const wchar_t* source, const wchar_t* text, int isJson);
    void (*requestPermission) (void* context, int requestId, int kind, const wchar_t* uri);
    void (*requestResource) (void* context, int requestId, const wchar_t* uri);
    /* Non-zero while the view's content can be seen: its window and every
     * parent are visible. Clicks and screenshots need that. */
    int (*isShown) (void* context);
    void (*failProcess) (void* context, int kind);
    /* A newer runtime was installed: the view's runtime tells every
     * environment it has not told of this version yet. */
    void (*newBrowserVersion) (void* context, int version);
    /* What the user or the page does: the page navigates itself, a file is
     * dropped onto the view, the page asks for a new window, a key is
     * pressed. pressKey returns 0, or STANDIN_UNKNOWN_REQUEST for a chord it
     * does not know; the rest is queued like the events above. */
    void (*navigatePage) (void* context, const wchar_t* uri);
    void (*dropFile) (void* context, const wchar_t* path);
    void (*requestNewWindow) (void* context, const wchar_t* uri);
    int (*pressKey) (void* context, const wchar_t* chord);
} StandinViewSink;

typedef struct StandinCreationPlan
{
    int32_t callResult;
    int32_t environmentResult;
    int withoutEnvironment;
    int32_t controllerResult;
    int withoutController;
    int delayMilliseconds;
    /* Non-zero: the environment creation started under this plan is held,
     * and this is its ticket (standin_hold_creation). */
    int holdTicket;
    /* Every held creation whose ticket is at most this is answered now, or
     * dropped without an answer; kept across standin_reset. */
    int answeredTickets;
    int droppedTickets;
} StandinCreationPlan;

/* The modelled behaviours as switched by standin_control.h. */
typedef struct StandinBehaviour
{
    int checkApartment;
    int queryHandlers;
    int documentScriptMilliseconds; /* negative: at once */
    int closeWithParent;
    /* The browser-process model (standin_plan_browser_process). */
    int coldStartMilliseconds;
    int attachMilliseconds;
    int exitMilliseconds;
    int creationDuringExit;
    /* Counts the resets, so that browsers of earlier tests are forgotten. */
    int browserGeneration;
    /* The runtime version that a browser starting now runs
     * (standin_new_browser_version counts it up). */
    int browserVersion;
    /* How often a hung renderer is reported again while it stays hung. */
    int hangReportMilliseconds;
} StandinBehaviour;

/* Request identifier of requests that the runtime raises on its own (the
 * document request of a navigation); their outcomes are not kept. */
#define STANDIN_INTERNAL_REQUEST 0

typedef struct StandinRuntimeInterface
{
    int version;
    void (*readPlan) (StandinCreationPlan* plan);
    void (*record) (const wchar_t* operation, const wchar_t* text);
    /* The sink is copied; returns the view's identifier (> 0). */
    int (*attachView) (const StandinViewSink* sink);
    void (*detachView) (int viewId);
    void (*beginDocument) (int viewId, const wchar_t* source, const wchar_t* html);
    void (*scriptRan) (int viewId, const wchar_t* script);
    void (*permissionAnswered) (int requestId, const StandinPermissionOutcome* outcome);
    void (*resourceAnswered) (int requestId, const StandinResourceOutcome* outcome, const wchar_t* reason,
                              const wchar_t* headers, const unsigned char* body, size_t bodyLength);
    void (*objectCreated) (void);
    void (*objectDestroyed) (void);
    /* Chromium mode (standin_control.h): 1 when the views' pages go to a
     * real browser, 0 when the runtime records only, -1 when Chromium mode
     * was asked for but the driver cannot be reached. */
    int (*browserMode) (void);
    /* One browser operation of a view for the real browser: a JSON object
     * as UTF-8 text without line end (tools/chromium_driver/protocol.md). */
    void (*sendToBrowser) (const char* line);
    /* A held environment creation began (+1) or was answered or dropped (-1). */
    void (*creationHeld) (int change);
    void (*readBehaviour) (StandinBehaviour* behaviour);
    /* A browser process started cold (+1) or exited (-1). */
    void (*browserProcessChanged) (int change);
    /* A ticket for a creation held as by standin_hold_creation. */
    int (*newHoldTicket) (void);
} StandinRuntimeInterface;

typedef const StandinRuntimeInterface* (*StandinRuntimeInterfaceFunction) (void);

STANDIN_CONTROL_API const StandinRuntimeInterface* standin_runtime_interface (void);

#ifdef __cplusplus
}
#endif

#endif

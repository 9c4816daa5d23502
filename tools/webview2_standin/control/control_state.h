#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../standin_runtime.h"

namespace tunewell::standin
{

/// What the tests planned and what the views did: the data behind the control
/// DLL's exports. No platform code, one instance per process.
class ControlState
{
public:
    struct LogEntry
    {
        std::wstring operation;
        std::wstring text;
    };

    struct Document
    {
        int count = 0;
        std::wstring source;
        std::wstring html;
        std::vector<std::wstring> scripts;
    };

    struct ResourceAnswer
    {
        StandinResourceOutcome outcome {};
        std::wstring reason;
        std::wstring headers;
        std::vector<unsigned char> body;
    };

    void reset();

    StandinCreationPlan plan {};
    StandinBehaviour behaviour = defaultBehaviour;
    /// What a reset restores: the defaults, with the browser-process delays
    /// of the environment (TUNEWELL_STANDIN_BROWSER_PROCESS) when given.
    StandinBehaviour baseline = defaultBehaviour;
    int browserStarts = 0;
    int runningBrowsers = 0;

    // Microsoft's runtime as documented, with delays small enough for tests:
    // scripts for documents to come apply late, controllers close with their
    // parent, and the browser starts cold, is attached to and exits after a
    // while; a hung renderer is reported again and again.
    static constexpr StandinBehaviour defaultBehaviour { 1, 1, 10, 1, 40, 5, 100, STANDIN_EXIT_RACE_FAILS, 0, 0, 200 };

    /// Every view attached now, in order.
    std::vector<StandinViewSink> allSinks() const;

    /// Reads "cold,attach,exit" milliseconds into the baseline.
    void takeBrowserProcessPlan (const char* text);

    /// Held creations (standin_hold_creation): tickets handed out, answered
    /// and dropped so far, and how many are held now. A reset drops every
    /// ticket not answered, so none completes in a later test's time.
    int lastHoldTicket = 0;
    int answeredHoldTickets = 0;
    int droppedHoldTickets = 0;
    int heldCreations = 0;
    /// The plan as the runtime reads it, with the hold tickets' fate.
    StandinCreationPlan currentPlan() const;

    void record (std::wstring operation, std::wstring text);
    const std::vector<LogEntry>& log() const { return entries; }

    int attachView (const StandinViewSink& sink);
    void detachView (int viewId);
    /// The most recently attached view that is still attached.
    std::optional<StandinViewSink> currentSink() const;
    /// The view of this identifier while it is attached.
    std::optional<StandinViewSink> sinkOf (int viewId) const;
    int openViewCount() const { return static_cast<int> (views.size()); }

    void beginDocument (int viewId, std::wstring source, std::wstring html);
    void scriptRan (int viewId, std::wstring script);
    /// The current view's document; an empty one without a current view.
    const Document& currentDocument() const;

    int newRequestId() { return ++lastRequestId; }
    void expectPermission (int requestId) { permissions[requestId] = {}; }
    void expectResource (int requestId) { resources[requestId] = {}; }
    void permissionAnswered (int requestId, const StandinPermissionOutcome& outcome);
    void resourceAnswered (int requestId, ResourceAnswer answer);
    const StandinPermissionOutcome* permission (int requestId) const;
    const ResourceAnswer* resource (int requestId) const;

    int liveObjects = 0;

private:
    struct View
    {
        int id;
        StandinViewSink sink;
    };

    std::vector<LogEntry> entries;
    std::vector<View> views;
    std::map<int, Document> documents;
    std::map<int, StandinPermissionOutcome> permissions;
    std::map<int, ResourceAnswer> resources;
    int lastViewId = 0;
    int lastRequestId = 0;
};

} // namespace tunewell::standin

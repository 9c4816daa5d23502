#pragma once

namespace tunewell::chooser
{

/// Where the chooser's showing stands on the host's thread.
enum class SessionState
{
    /// No showing and none asked for; a page left by an ended one may still
    /// be alive, hidden.
    idle,
    /// A show request waits for the host to report setlist mode.
    awaitingSetlistMode,
    /// The window is up and the browser is being created; the creation's
    /// wait dispatches the thread's messages.
    creating,
    /// The page (or the notice that no browser is available) shows, and the
    /// showing's loop runs.
    showing,
    /// The showing has been told to end; its wait or loop returns next.
    ending,
};

enum class SessionEvent
{
    showRequest,
    setlistMode,
    browserReady,
    browserFailed,
    closeBox,
    pageCloseButton,
    hostClose,
    /// The showing's wait or loop took a quit message: the host's.
    hostQuit,
    /// The showing's loop has returned.
    loopEnded,
    unload,
};

/// What the platform does about one event, in the order of the fields.
struct SessionOutcome
{
    bool hideWindow = false;
    /// The window goes once no code of the library runs any more: the page's
    /// close button arrives inside the browser's callback.
    bool retireWindow = false;
    /// The showing's wait or loop must end now (it may be asleep).
    bool endLoop = false;
    /// The quit goes on to the host's own loop, with its exit code.
    bool passQuitToHost = false;
    bool askForSetlistMode = false;
    /// The browser's creation is over while the showing goes on: the page
    /// functions are bound, the page loaded and the window brought up.
    bool loadPage = false;
    bool bringToFront = false;
    /// A showing starts (from setlist mode), or starts again once the
    /// previous one has returned (a request answered while it was ending).
    bool startShowing = false;

    bool operator== (const SessionOutcome& other) const;
};

/// The showing's whole life as one state machine with no platform in it:
/// each event moves it and says what to do. A request while a showing runs
/// brings it to the front rather than nesting a second one; one answered
/// while it ends opens it again once it has returned, unless the host quit
/// or closed the extension meanwhile.
class ChooserSession
{
public:
    SessionOutcome handle (SessionEvent event);

    SessionState state() const { return current; }
    /// The showing's end signal: its wait and loop stop while it holds.
    bool loopShouldEnd() const { return current == SessionState::ending; }
    bool isShowPending() const { return current == SessionState::awaitingSetlistMode || showRequestedWhileEnding; }
    /// From the start of a showing until its loop has returned.
    bool isOpen() const;

private:
    SessionState current = SessionState::idle;
    bool showRequestedWhileEnding = false;
    bool reopenRequested = false;
    bool hostQuitting = false;
    bool closedByHost = false;

    SessionOutcome handleWithoutShowing (SessionEvent event);
    SessionOutcome handleWhileOpen (SessionEvent event);
    SessionOutcome handleWhileEnding (SessionEvent event);
    SessionOutcome endShowing (SessionEvent event);
    SessionOutcome finishShowing();
};

} // namespace tunewell::chooser

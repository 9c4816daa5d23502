#include "extension/chooser_session.h"

namespace tunewell::chooser
{

bool SessionOutcome::operator== (const SessionOutcome& other) const
{
    return hideWindow == other.hideWindow && retireWindow == other.retireWindow && endLoop == other.endLoop
        && passQuitToHost == other.passQuitToHost && askForSetlistMode == other.askForSetlistMode
        && loadPage == other.loadPage && bringToFront == other.bringToFront && startShowing == other.startShowing;
}

bool ChooserSession::isOpen() const
{
    return current == SessionState::creating || current == SessionState::showing || current == SessionState::ending;
}

namespace
{
/// Whatever state an open showing is in, these end it.
bool endsTheShowing (SessionEvent event)
{
    return event == SessionEvent::closeBox || event == SessionEvent::pageCloseButton || event == SessionEvent::hostClose
        || event == SessionEvent::hostQuit || event == SessionEvent::unload;
}
} // namespace

SessionOutcome ChooserSession::handle (SessionEvent event)
{
    if (isOpen() && endsTheShowing (event))
        return endShowing (event);

    if (isOpen() && event == SessionEvent::loopEnded)
        return finishShowing();

    switch (current)
    {
        case SessionState::idle:
        case SessionState::awaitingSetlistMode:
            return handleWithoutShowing (event);
        case SessionState::creating:
        case SessionState::showing:
            return handleWhileOpen (event);
        case SessionState::ending:
            return handleWhileEnding (event);
    }

    return {};
}

// Without a showing, the close box and the page's close button can only be
// those of a window left hidden by an ended one.
SessionOutcome ChooserSession::handleWithoutShowing (SessionEvent event)
{
    SessionOutcome outcome;

    switch (event)
    {
        case SessionEvent::showRequest:
            // The window opens only once the host reports setlist mode.
            current = SessionState::awaitingSetlistMode;
            outcome.askForSetlistMode = true;
            break;
        case SessionEvent::setlistMode:
            if (current == SessionState::awaitingSetlistMode)
            {
                current = SessionState::creating;
                outcome.startShowing = true;
            }
            break;
        case SessionEvent::closeBox:
            outcome.hideWindow = true;
            break;
        case SessionEvent::pageCloseButton:
            outcome.hideWindow = outcome.retireWindow = true;
            break;
        case SessionEvent::hostClose:
        case SessionEvent::unload:
            current = SessionState::idle;
            outcome.hideWindow = true;
            break;
        default:
            break;
    }

    return outcome;
}

SessionOutcome ChooserSession::handleWhileOpen (SessionEvent event)
{
    SessionOutcome outcome;

    switch (event)
    {
        case SessionEvent::showRequest:
            outcome.bringToFront = true;
            break;
        case SessionEvent::browserReady:
        case SessionEvent::browserFailed:
            if (current == SessionState::creating)
            {
                current = SessionState::showing;
                outcome.loadPage = outcome.bringToFront = true;
            }
            break;
        default:
            break;
    }

    return outcome;
}

SessionOutcome ChooserSession::handleWhileEnding (SessionEvent event)
{
    SessionOutcome outcome;

    switch (event)
    {
        case SessionEvent::showRequest:
            // The performer asked again while the chooser was closing.
            showRequestedWhileEnding = true;
            outcome.askForSetlistMode = true;
            break;
        case SessionEvent::setlistMode:
            reopenRequested = reopenRequested || showRequestedWhileEnding;
            showRequestedWhileEnding = false;
            break;
        default:
            break;
    }

    return outcome;
}

// The loop ends on this signal of the showing's own, never on a quit
// message: the window system keeps one quit per thread, and a host that
// quits right after closing the chooser would lose its quit to one of ours.
SessionOutcome ChooserSession::endShowing (SessionEvent event)
{
    SessionOutcome outcome;
    current = SessionState::ending;
    outcome.hideWindow = outcome.endLoop = true;
    outcome.retireWindow = event == SessionEvent::pageCloseButton;
    outcome.passQuitToHost = event == SessionEvent::hostQuit;
    hostQuitting = hostQuitting || event == SessionEvent::hostQuit;
    closedByHost = closedByHost || event == SessionEvent::hostClose || event == SessionEvent::unload;
    return outcome;
}

// However the showing ends, it leaves no visible window without a loop.
SessionOutcome ChooserSession::finishShowing()
{
    SessionOutcome outcome;
    outcome.hideWindow = true;

    const bool cancelled = hostQuitting || closedByHost;
    outcome.startShowing = reopenRequested && ! cancelled;
    current = outcome.startShowing                    ? SessionState::creating
            : showRequestedWhileEnding && ! cancelled ? SessionState::awaitingSetlistMode
                                                      : SessionState::idle;

    showRequestedWhileEnding = reopenRequested = hostQuitting = closedByHost = false;
    return outcome;
}

} // namespace tunewell::chooser

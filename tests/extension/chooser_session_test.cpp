// Every event of the chooser's session in every state, with what the
// platform is told to do, and the sequences that decide whether a request
// answered while a showing ends opens it again.

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "extension/chooser_session.h"

namespace
{

using tunewell::chooser::ChooserSession;
using tunewell::chooser::SessionEvent;
using tunewell::chooser::SessionOutcome;
using tunewell::chooser::SessionState;

using Event = SessionEvent;
using State = SessionState;

/// The outcome as letters: Hide, Retire the window, End the loop, pass the
/// Quit on, Ask for setlist mode, Load the page, bring to Front, Start a
/// showing.
std::string letters (const SessionOutcome& outcome)
{
    std::string text;
    const std::pair<bool, char> flags[] = { { outcome.hideWindow, 'H' },        { outcome.retireWindow, 'R' },
                                            { outcome.endLoop, 'E' },           { outcome.passQuitToHost, 'Q' },
                                            { outcome.askForSetlistMode, 'A' }, { outcome.loadPage, 'L' },
                                            { outcome.bringToFront, 'F' },      { outcome.startShowing, 'S' } };
    for (auto [set, letter] : flags)
        if (set)
            text += letter;

    return text;
}

/// A session brought into this state by the events that lead there.
ChooserSession sessionIn (State state)
{
    ChooserSession session;
    const std::vector<Event> path[] = {
        {},
        { Event::showRequest },
        { Event::showRequest, Event::setlistMode },
        { Event::showRequest, Event::setlistMode, Event::browserReady },
        { Event::showRequest, Event::setlistMode, Event::browserReady, Event::closeBox },
    };

    for (auto event : path[static_cast<int> (state)])
        session.handle (event);

    EXPECT_EQ (session.state(), state);
    return session;
}

struct Row
{
    State before;
    Event event;
    State after;
    const char* outcome;
};

// clang-format off
const Row table[] = {
    { State::idle, Event::showRequest,     State::awaitingSetlistMode, "A" },
    { State::idle, Event::setlistMode,     State::idle, "" },
    { State::idle, Event::browserReady,    State::idle, "" },
    { State::idle, Event::browserFailed,   State::idle, "" },
    { State::idle, Event::closeBox,        State::idle, "H" },
    { State::idle, Event::pageCloseButton, State::idle, "HR" },
    { State::idle, Event::hostClose,       State::idle, "H" },
    { State::idle, Event::hostQuit,        State::idle, "" },
    { State::idle, Event::loopEnded,       State::idle, "" },
    { State::idle, Event::unload,          State::idle, "H" },

    { State::awaitingSetlistMode, Event::showRequest,     State::awaitingSetlistMode, "A" },
    { State::awaitingSetlistMode, Event::setlistMode,     State::creating, "S" },
    { State::awaitingSetlistMode, Event::browserReady,    State::awaitingSetlistMode, "" },
    { State::awaitingSetlistMode, Event::browserFailed,   State::awaitingSetlistMode, "" },
    { State::awaitingSetlistMode, Event::closeBox,        State::awaitingSetlistMode, "H" },
    { State::awaitingSetlistMode, Event::pageCloseButton, State::awaitingSetlistMode, "HR" },
    { State::awaitingSetlistMode, Event::hostClose,       State::idle, "H" },
    { State::awaitingSetlistMode, Event::hostQuit,        State::awaitingSetlistMode, "" },
    { State::awaitingSetlistMode, Event::loopEnded,       State::awaitingSetlistMode, "" },
    { State::awaitingSetlistMode, Event::unload,          State::idle, "H" },

    { State::creating, Event::showRequest,     State::creating, "F" },
    { State::creating, Event::setlistMode,     State::creating, "" },
    { State::creating, Event::browserReady,    State::showing, "LF" },
    { State::creating, Event::browserFailed,   State::showing, "LF" },
    { State::creating, Event::closeBox,        State::ending, "HE" },
    { State::creating, Event::pageCloseButton, State::ending, "HRE" },
    { State::creating, Event::hostClose,       State::ending, "HE" },
    { State::creating, Event::hostQuit,        State::ending, "HEQ" },
    { State::creating, Event::loopEnded,       State::idle, "H" },
    { State::creating, Event::unload,          State::ending, "HE" },

    { State::showing, Event::showRequest,     State::showing, "F" },
    { State::showing, Event::setlistMode,     State::showing, "" },
    { State::showing, Event::browserReady,    State::showing, "" },
    { State::showing, Event::browserFailed,   State::showing, "" },
    { State::showing, Event::closeBox,        State::ending, "HE" },
    { State::showing, Event::pageCloseButton, State::ending, "HRE" },
    { State::showing, Event::hostClose,       State::ending, "HE" },
    { State::showing, Event::hostQuit,        State::ending, "HEQ" },
    { State::showing, Event::loopEnded,       State::idle, "H" },
    { State::showing, Event::unload,          State::ending, "HE" },

    { State::ending, Event::showRequest,     State::ending, "A" },
    { State::ending, Event::setlistMode,     State::ending, "" },
    { State::ending, Event::browserReady,    State::ending, "" },
    { State::ending, Event::browserFailed,   State::ending, "" },
    { State::ending, Event::closeBox,        State::ending, "HE" },
    { State::ending, Event::pageCloseButton, State::ending, "HRE" },
    { State::ending, Event::hostClose,       State::ending, "HE" },
    { State::ending, Event::hostQuit,        State::ending, "HEQ" },
    { State::ending, Event::loopEnded,       State::idle, "H" },
    { State::ending, Event::unload,          State::ending, "HE" },
};
// clang-format on

TEST (ChooserSession, everyEventInEveryStateMovesAndInstructsAsTheTableSays)
{
    ASSERT_EQ (std::size (table), 50u) << "five states times ten events";

    for (const auto& row : table)
    {
        SCOPED_TRACE ("state " + std::to_string (static_cast<int> (row.before)) + ", event "
                      + std::to_string (static_cast<int> (row.event)));
        auto session = sessionIn (row.before);

        EXPECT_EQ (letters (session.handle (row.event)), row.outcome);
        EXPECT_EQ (session.state(), row.after);
        EXPECT_EQ (session.loopShouldEnd(), row.after == State::ending);
    }
}

struct Sequence
{
    const char* name;
    std::vector<Event> afterEnding;
    const char* finalOutcome;
    State finalState;
};

TEST (ChooserSession, aRequestAnsweredWhileTheShowingEndsOpensItAgainUnlessTheHostQuitOrClosed)
{
    const Sequence sequences[] = {
        { "request answered", { Event::showRequest, Event::setlistMode }, "HS", State::creating },
        { "request not yet answered", { Event::showRequest }, "H", State::awaitingSetlistMode },
        { "setlist mode without a request", { Event::setlistMode }, "H", State::idle },
        { "then the host closes", { Event::showRequest, Event::setlistMode, Event::hostClose }, "H", State::idle },
        { "then the host quits", { Event::showRequest, Event::setlistMode, Event::hostQuit }, "H", State::idle },
        { "the host closes, then a request",
          { Event::hostClose, Event::showRequest, Event::setlistMode },
          "H",
          State::idle },
    };

    for (const auto& [name, afterEnding, finalOutcome, finalState] : sequences)
    {
        SCOPED_TRACE (name);
        auto session = sessionIn (State::ending);

        for (auto event : afterEnding)
            session.handle (event);

        EXPECT_EQ (letters (session.handle (Event::loopEnded)), finalOutcome);
        EXPECT_EQ (session.state(), finalState);
    }

    // What one showing remembered is gone with it.
    auto session = sessionIn (State::ending);
    session.handle (Event::hostQuit);
    session.handle (Event::loopEnded);
    for (auto event : { Event::showRequest, Event::setlistMode, Event::browserReady, Event::closeBox,
                        Event::showRequest, Event::setlistMode })
        session.handle (event);
    EXPECT_EQ (letters (session.handle (Event::loopEnded)), "HS");
}

TEST (ChooserSession, aShowIsPendingFromTheRequestUntilSetlistModeAndOpenUntilItsLoopReturns)
{
    ChooserSession session;
    EXPECT_FALSE (session.isShowPending());
    session.handle (Event::showRequest);
    EXPECT_TRUE (session.isShowPending());
    EXPECT_FALSE (session.isOpen());
    session.handle (Event::setlistMode);
    EXPECT_FALSE (session.isShowPending());
    EXPECT_TRUE (session.isOpen());
    session.handle (Event::closeBox);
    session.handle (Event::showRequest);
    EXPECT_TRUE (session.isShowPending());
    EXPECT_TRUE (session.isOpen());
    session.handle (Event::loopEnded);
    EXPECT_FALSE (session.isOpen());
}

} // namespace

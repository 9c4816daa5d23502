#pragma once

#include <functional>

namespace tunewell::messageloop
{

/// How a message loop ended.
struct LoopEnd
{
    /// True when it took a quit message; false when retrieving a message
    /// failed or the loop's own end signal ended it.
    bool quitReceived = false;
    /// The quit message's exit code; 0 when no quit message was taken.
    int exitCode = 0;
};

/// Dispatches the calling thread's window messages until it takes a quit
/// message or message retrieval fails. Thread messages (without a target
/// window) are removed and dropped. Loops may nest: each quit message ends
/// only the innermost running loop. A caller that took a quit message meant
/// for an outer loop can post it again with the reported exit code.
LoopEnd runMessageLoop();

/// The same loop, which also ends, without taking a quit message, once
/// endRequested returns true; it is asked before each message is taken. A
/// loop that has an end of its own uses this rather than a quit message: the
/// window system keeps one quit per thread, so a quit of its own would merge
/// with the quit of whoever runs the thread's outer loop, and one of the two
/// would be lost. Whoever raises the signal calls wakeMessageLoop.
LoopEnd runMessageLoop (const std::function<bool()>& endRequested);

/// Makes such a loop of the calling thread that waits for a message ask its
/// end signal again, by posting a thread message that means nothing (WM_NULL).
void wakeMessageLoop();

/// Posts a quit message with exit code 0 to the calling thread's queue.
void stopMessageLoop();

} // namespace tunewell::messageloop

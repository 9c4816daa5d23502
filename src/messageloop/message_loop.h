#pragma once

namespace tunewell::messageloop
{

/// How a message loop ended.
struct LoopEnd
{
    /// True when it took a quit message; false when retrieving a message failed.
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

/// Posts a quit message with exit code 0 to the calling thread's queue.
void stopMessageLoop();

} // namespace tunewell::messageloop

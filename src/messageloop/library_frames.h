#pragma once

#include <functional>

namespace tunewell::messageloop
{

/// Marks code of this library on the stack for as long as it lives, however
/// that code was reached: an export, a browser callback, a posted callback or
/// a window procedure. Open one first thing at every such entry, so that it
/// closes last. The host may close the extension from inside any of them (a
/// host call made for a page message, the host's own messages dispatched by
/// a showing's loop), and whatever those frames still use must not be freed
/// under them.
class LibraryFrame
{
public:
    LibraryFrame() noexcept;
    ~LibraryFrame();

    LibraryFrame (const LibraryFrame&) = delete;
    LibraryFrame& operator= (const LibraryFrame&) = delete;

private:
    bool counted = false;
};

/// Runs work now when no library frame of the calling thread is open, or else
/// as its outermost one closes, after everything inside it has returned, on
/// this thread. Returns false, running nothing, when the work cannot be kept:
/// a caller that frees memory then leaks rather than free what a frame still
/// uses. Work that throws is dropped. Frames of other threads do not count.
bool runOutsideLibraryFrames (std::function<void()> work) noexcept;

/// Whether a library frame of the calling thread is open now.
bool insideLibraryFrame() noexcept;

/// Keeps work for the host's next call into the library, whichever thread
/// makes it: while that call runs the host holds the library loaded, which
/// no other moment proves. False, keeping nothing, when it cannot be kept.
bool runAtNextHostCall (std::function<void()> work) noexcept;

/// Called by every entry point of the host's, first: runs that work.
void hostCallStarting() noexcept;

} // namespace tunewell::messageloop

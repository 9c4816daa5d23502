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
};

/// Runs work now when no library frame is open, or else as the outermost one
/// closes, after everything inside it has returned. Returns false, running
/// nothing, when the work cannot be kept: a caller that frees memory then
/// leaks rather than free what a frame still uses. Work that throws is
/// dropped. Frames are counted for the whole process: the library runs on
/// the host's thread, and its frames on other threads only delay the work.
bool runOutsideLibraryFrames (std::function<void()> work) noexcept;

/// Whether a library frame is open now.
bool insideLibraryFrame() noexcept;

} // namespace tunewell::messageloop

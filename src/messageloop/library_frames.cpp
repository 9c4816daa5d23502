#include "messageloop/library_frames.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace tunewell::messageloop
{

namespace
{
std::atomic<int> openFrames { 0 };
std::mutex waitingMutex;
std::vector<std::function<void()>> waitingWork;

std::vector<std::function<void()>> takeWaitingWork()
{
    const std::lock_guard<std::mutex> lock (waitingMutex);
    return std::move (waitingWork);
}

// The work runs inside a frame of its own, so that frames it opens (a window
// procedure as it destroys a window) do not start this again underneath it;
// work that it makes wait runs in the next round.
void runWaitingWork()
{
    for (;;)
    {
        auto work = takeWaitingWork();

        if (work.empty())
            return;

        ++openFrames;

        for (auto& item : work)
        {
            try { item(); } catch (...) {}
        }

        --openFrames;
    }
}
} // namespace

LibraryFrame::LibraryFrame() noexcept
{
    ++openFrames;
}

LibraryFrame::~LibraryFrame()
{
    if (--openFrames != 0)
        return;

    try
    {
        runWaitingWork();
    }
    catch (...)
    {
        // Only the mutex can fail here; the work then waits for the next
        // outermost frame.
    }
}

bool runOutsideLibraryFrames (std::function<void()> work) noexcept
{
    try
    {
        {
            const std::lock_guard<std::mutex> lock (waitingMutex);
            waitingWork.push_back (std::move (work));
        }

        if (openFrames.load() == 0)
            runWaitingWork();

        return true;
    }
    catch (...)
    {
        return false;
    }
}

bool insideLibraryFrame() noexcept
{
    return openFrames.load() > 0;
}

} // namespace tunewell::messageloop

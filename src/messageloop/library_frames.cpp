#include "messageloop/library_frames.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace tunewell::messageloop
{

namespace
{
struct WaitingWork
{
    std::thread::id thread;
    std::function<void()> work;
};

// Per thread, so that a posted callback running on another thread neither
// holds back the host thread's work nor runs it on the wrong thread. Few
// threads ever open frames, so plain vectors do.
std::mutex framesMutex;
std::vector<std::pair<std::thread::id, int>> openFrames;
std::vector<WaitingWork> waitingWork;

int& framesOf (std::thread::id thread)
{
    auto found = std::find_if (openFrames.begin(), openFrames.end(),
                               [thread] (const auto& entry) { return entry.first == thread; });

    if (found != openFrames.end())
        return found->second;

    openFrames.emplace_back (thread, 0);
    return openFrames.back().second;
}

void forgetIdleThreads()
{
    openFrames.erase (std::remove_if (openFrames.begin(), openFrames.end(),
                                      [] (const auto& entry) { return entry.second == 0; }),
                      openFrames.end());
}

// Takes this thread's waiting work and opens a frame for it, so that frames
// the work opens (a window procedure as it destroys a window) do not start
// this again underneath it; work that it queues runs in the next round.
std::vector<std::function<void()>> takeWaitingWork (std::thread::id thread)
{
    const std::lock_guard<std::mutex> lock (framesMutex);
    std::vector<std::function<void()>> taken;

    for (auto& waiting : waitingWork)
        if (waiting.thread == thread)
            taken.push_back (std::move (waiting.work));

    waitingWork.erase (std::remove_if (waitingWork.begin(), waitingWork.end(),
                                       [thread] (const WaitingWork& waiting) { return waiting.thread == thread; }),
                       waitingWork.end());

    if (! taken.empty())
        ++framesOf (thread);

    return taken;
}

void closeWorkFrame (std::thread::id thread)
{
    const std::lock_guard<std::mutex> lock (framesMutex);
    --framesOf (thread);
    forgetIdleThreads();
}

void runWaitingWork()
{
    const auto thread = std::this_thread::get_id();

    for (auto work = takeWaitingWork (thread); ! work.empty(); work = takeWaitingWork (thread))
    {
        for (auto& item : work)
        {
            try
            {
                item();
            }
            catch (...)
            {
            }
        }

        closeWorkFrame (thread);
    }
}

// Opens or closes one frame of this thread; true when none is left open.
bool changeFrames (int change)
{
    const std::lock_guard<std::mutex> lock (framesMutex);
    int& frames = framesOf (std::this_thread::get_id());
    frames += change;
    const bool outside = frames == 0;
    forgetIdleThreads();
    return outside;
}
} // namespace

LibraryFrame::LibraryFrame() noexcept
{
    try
    {
        changeFrames (1);
        counted = true;
    }
    catch (...)
    {
        // Uncounted, the frame holds nothing back; only the mutex or the
        // first entry of a thread can fail here.
    }
}

LibraryFrame::~LibraryFrame()
{
    try
    {
        if (counted && changeFrames (-1))
            runWaitingWork();
    }
    catch (...)
    {
        // The work then waits for this thread's next outermost frame.
    }
}

bool runOutsideLibraryFrames (std::function<void()> work) noexcept
{
    try
    {
        const auto thread = std::this_thread::get_id();
        bool outside = false;
        {
            const std::lock_guard<std::mutex> lock (framesMutex);
            waitingWork.push_back ({ thread, std::move (work) });
            outside = framesOf (thread) == 0;
            forgetIdleThreads();
        }

        if (outside)
            runWaitingWork();

        return true;
    }
    catch (...)
    {
        return false;
    }
}

namespace
{
std::mutex hostCallMutex;
std::vector<std::function<void()>> hostCallWork;
} // namespace

bool runAtNextHostCall (std::function<void()> work) noexcept
{
    try
    {
        const std::lock_guard<std::mutex> lock (hostCallMutex);
        hostCallWork.push_back (std::move (work));
        return true;
    }
    catch (...)
    {
        return false;
    }
}

void hostCallStarting() noexcept
{
    std::vector<std::function<void()>> taken;
    try
    {
        const std::lock_guard<std::mutex> lock (hostCallMutex);
        taken.swap (hostCallWork);
    }
    catch (...)
    {
        return;
    }

    for (auto& work : taken)
    {
        try
        {
            work();
        }
        catch (...)
        {
        }
    }
}

bool insideLibraryFrame() noexcept
{
    try
    {
        const std::lock_guard<std::mutex> lock (framesMutex);
        const bool inside = framesOf (std::this_thread::get_id()) > 0;
        forgetIdleThreads();
        return inside;
    }
    catch (...)
    {
        return false;
    }
}

} // namespace tunewell::messageloop

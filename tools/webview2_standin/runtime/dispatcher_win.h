#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>

namespace tunewell::standin
{

/// Runs tasks later on one thread, from inside that thread's message
/// dispatch, the way the browser delivers its callbacks: each task is one
/// message posted to a hidden message-only window of the thread. Everything
/// that may still post holds a shared reference; the window goes with the last.
class Dispatcher : public std::enable_shared_from_this<Dispatcher>
{
public:
    /// The calling thread's dispatcher, created on first use; null when its
    /// window cannot be created.
    static std::shared_ptr<Dispatcher> forCurrentThread();

    /// Unregisters the window class; for when the runtime is unloaded.
    static void unregisterWindowClass();

    ~Dispatcher();

    /// Queues a task for a later turn of the thread's message queue; owner,
    /// when given, may drop it with dropTasksOf.
    void post (std::function<void()> task, const void* owner = nullptr);

    /// Forgets the queued tasks of this owner: a closed view raises nothing
    /// more, and must not keep itself alive through its own queued work.
    void dropTasksOf (const void* owner);

    /// Runs a task once this many milliseconds have passed, on a timer: the
    /// thread's queue holds nothing for it meanwhile, so a wait for the next
    /// message sleeps, and timers and a quit are taken as they would be.
    void postAfter (int milliseconds, std::function<void()> task);

    DWORD thread() const { return ownerThread; }

    Dispatcher (HWND window, DWORD thread);

private:
    static LRESULT CALLBACK windowProcedure (HWND, UINT, WPARAM, LPARAM);
    void runNext();
    void runTimer (UINT_PTR timer);

    HWND window;
    DWORD ownerThread;
    struct Task
    {
        const void* owner;
        std::function<void()> run;
    };
    std::deque<Task> tasks;
    std::map<UINT_PTR, std::function<void()>> timedTasks;
    UINT_PTR lastTimer = 0;
};

} // namespace tunewell::standin

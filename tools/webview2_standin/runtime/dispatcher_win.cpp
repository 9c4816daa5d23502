#include "dispatcher_win.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace tunewell::standin
{

namespace
{

constexpr UINT runTaskMessage = WM_APP + 0x57;

SRWLOCK registryLock = SRWLOCK_INIT;
std::vector<std::pair<DWORD, std::weak_ptr<Dispatcher>>> registry;
ATOM windowClassAtom = 0;

// Two copies of the runtime (one from disk, one mapped from memory) may live
// in one process; each needs a class name of its own.
std::wstring windowClassName()
{
    static const int marker = 0;
    return L"TunewellStandinQueue" + std::to_wstring (reinterpret_cast<uintptr_t> (&marker));
}

class RegistryGuard
{
public:
    RegistryGuard() { AcquireSRWLockExclusive (&registryLock); }
    ~RegistryGuard() { ReleaseSRWLockExclusive (&registryLock); }
    RegistryGuard (const RegistryGuard&) = delete;
    RegistryGuard& operator= (const RegistryGuard&) = delete;
};

} // namespace

LRESULT CALLBACK Dispatcher::windowProcedure (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != runTaskMessage && message != WM_TIMER)
        return DefWindowProcW (window, message, wParam, lParam);

    if (auto* dispatcher = reinterpret_cast<Dispatcher*> (GetWindowLongPtrW (window, GWLP_USERDATA)))
    {
        if (message == WM_TIMER)
            dispatcher->runTimer (wParam);
        else
            dispatcher->runNext();
    }

    return 0;
}

std::shared_ptr<Dispatcher> Dispatcher::forCurrentThread()
{
    RegistryGuard guard;
    auto thread = GetCurrentThreadId();

    for (auto& [owner, dispatcher] : registry)
        if (owner == thread)
            if (auto existing = dispatcher.lock())
                return existing;

    auto instance = GetModuleHandleW (nullptr);
    auto className = windowClassName();

    if (windowClassAtom == 0)
    {
        WNDCLASSEXW windowClass {};
        windowClass.cbSize = sizeof (windowClass);
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = className.c_str();
        windowClassAtom = RegisterClassExW (&windowClass);
        if (windowClassAtom == 0)
            return nullptr;
    }

    auto window = CreateWindowExW (0, className.c_str(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (window == nullptr)
        return nullptr;

    auto dispatcher = std::make_shared<Dispatcher> (window, thread);
    SetWindowLongPtrW (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (dispatcher.get()));

    registry.erase (std::remove_if (registry.begin(), registry.end(),
                                    [] (auto& entry) { return entry.second.expired(); }),
                    registry.end());
    registry.emplace_back (thread, dispatcher);
    return dispatcher;
}

void Dispatcher::unregisterWindowClass()
{
    RegistryGuard guard;
    if (windowClassAtom != 0 && UnregisterClassW (windowClassName().c_str(), GetModuleHandleW (nullptr)))
        windowClassAtom = 0;
}

Dispatcher::Dispatcher (HWND queueWindow, DWORD thread) : window (queueWindow), ownerThread (thread) {}

Dispatcher::~Dispatcher()
{
    SetWindowLongPtrW (window, GWLP_USERDATA, 0);
    DestroyWindow (window);
}

void Dispatcher::post (std::function<void()> task, const void* owner)
{
    // The task keeps its dispatcher, and so the window that will run it.
    tasks.push_back ({ owner, [keepAlive = shared_from_this(), task = std::move (task)] { task(); } });
    PostMessageW (window, runTaskMessage, 0, 0);
}

void Dispatcher::dropTasksOf (const void* owner)
{
    std::vector<Task> dropped;
    for (auto task = tasks.begin(); task != tasks.end();)
    {
        if (task->owner == owner)
        {
            dropped.push_back (std::move (*task));
            task = tasks.erase (task);
        }
        else
            ++task;
    }
    // Their messages stay queued and find nothing to run.
}

void Dispatcher::postAfter (int milliseconds, std::function<void()> task)
{
    if (milliseconds <= 0)
        return post (std::move (task));

    const UINT_PTR timer = ++lastTimer;
    timedTasks[timer] = [keepAlive = shared_from_this(), task = std::move (task)] { task(); };

    if (SetTimer (window, timer, static_cast<UINT> (milliseconds), nullptr) == 0)
    {
        // Without a timer the task still runs, only sooner than planned.
        auto untimed = std::move (timedTasks[timer]);
        timedTasks.erase (timer);
        post (std::move (untimed));
    }
}

void Dispatcher::runTimer (UINT_PTR timer)
{
    KillTimer (window, timer);
    auto found = timedTasks.find (timer);

    if (found == timedTasks.end())
        return;

    // Moved out first, for the same reasons as in runNext.
    auto task = std::move (found->second);
    timedTasks.erase (found);
    task();
}

void Dispatcher::runNext()
{
    if (tasks.empty())
        return;

    // Moved out first: the task may post more, and dropping it at the end of
    // this scope may release the last reference to this dispatcher.
    auto task = std::move (tasks.front().run);
    tasks.pop_front();
    task();
}

} // namespace tunewell::standin

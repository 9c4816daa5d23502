#include "messageloop/message_loop.h"

#include <windows.h>

namespace tunewell::messageloop
{

LoopEnd runMessageLoop()
{
    return runMessageLoop ([] { return false; });
}

LoopEnd runMessageLoop (const std::function<bool()>& endRequested)
{
    MSG message {};
    while (! endRequested())
    {
        const BOOL result = GetMessageA (&message, nullptr, 0, 0);

        if (result == -1)
            return { false, 0 };
        if (result == 0)
            return { true, static_cast<int> (message.wParam) };

        if (message.hwnd != nullptr)
        {
            TranslateMessage (&message);
            DispatchMessageA (&message);
        }
    }
    return { false, 0 };
}

void wakeMessageLoop()
{
    // A handler of a message sent from another thread runs inside the wait
    // for the next message, which returns only for a posted one. WM_NULL
    // means nothing to whichever loop takes it.
    PostThreadMessageA (GetCurrentThreadId(), WM_NULL, 0, 0);
}

void stopMessageLoop()
{
    PostQuitMessage (0);
}

} // namespace tunewell::messageloop

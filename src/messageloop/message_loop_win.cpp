#include "messageloop/message_loop.h"

#include <windows.h>

namespace tunewell::messageloop
{

LoopEnd runMessageLoop()
{
    MSG message {};
    for (;;)
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
}

void stopMessageLoop()
{
    PostQuitMessage (0);
}

} // namespace tunewell::messageloop

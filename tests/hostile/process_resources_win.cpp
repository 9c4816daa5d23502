#include "process_resources.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

namespace tunewell::testrig
{

namespace
{

BOOL CALLBACK countWindow (HWND, LPARAM count)
{
    ++*reinterpret_cast<int*> (count);
    return TRUE;
}

int countThreadWindows()
{
    int count = 0;
    EnumThreadWindows (GetCurrentThreadId(), &countWindow, reinterpret_cast<LPARAM> (&count));
    return count;
}

int countLoadedModules()
{
    auto snapshot = CreateToolhelp32Snapshot (TH32CS_SNAPMODULE, GetCurrentProcessId());

    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;

    MODULEENTRY32W module {};
    module.dwSize = sizeof (module);
    int count = 0;

    for (auto found = Module32FirstW (snapshot, &module); found; found = Module32NextW (snapshot, &module))
        ++count;

    CloseHandle (snapshot);
    return count;
}

// Wine leaves the private usage at zero; the commit charge, then the working
// set, stand in for it there.
long long memoryFigure (const PROCESS_MEMORY_COUNTERS_EX& memory)
{
    for (SIZE_T figure : { memory.PrivateUsage, memory.PagefileUsage, memory.WorkingSetSize })
        if (figure != 0)
            return static_cast<long long> (figure);

    return 0;
}

} // namespace

ProcessResources currentProcessResources()
{
    DWORD handles = 0;
    GetProcessHandleCount (GetCurrentProcess(), &handles);
    PROCESS_MEMORY_COUNTERS_EX memory {};
    memory.cb = sizeof (memory);
    K32GetProcessMemoryInfo (GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*> (&memory),
                             sizeof (memory));
    return { countThreadWindows(), countLoadedModules(), static_cast<int> (handles), memoryFigure (memory) };
}

void runWithTheShowingClosedAtOnce (void (*event) (int), int argument)
{
    PostQuitMessage (0);
    event (argument);

    MSG message;
    while (PeekMessageW (&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
}

} // namespace tunewell::testrig

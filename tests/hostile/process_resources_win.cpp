#include "process_resources.h"

#include <windows.h>
#include <tlhelp32.h>

namespace tunewell::testing
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

} // namespace

ProcessResources currentProcessResources()
{
    DWORD handles = 0;
    GetProcessHandleCount (GetCurrentProcess(), &handles);
    return { countThreadWindows(), countLoadedModules(), static_cast<int> (handles) };
}

void runWithTheShowingClosedAtOnce (void (*event) (int), int argument)
{
    PostQuitMessage (0);
    event (argument);

    MSG message;
    while (PeekMessageW (&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

} // namespace tunewell::testing

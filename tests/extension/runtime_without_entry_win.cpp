// A browser runtime's DLL that loads but lacks the creation export: what
// Microsoft's loader finds in a damaged or foreign runtime folder.

#include <windows.h>

BOOL WINAPI DllMain (HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

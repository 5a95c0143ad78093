// Stands in for a kbdh.dll of the wrong kind: it loads, but exports nothing.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

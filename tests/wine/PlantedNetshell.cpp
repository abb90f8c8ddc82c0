// A stand-in "netshell.dll" placed beside the network tests, the way a planted library
// would sit beside the program. It only announces that it was loaded.
#include <windows.h>

extern "C" __declspec(dllexport) void WINAPI NcFreeNetconProperties(void*) {}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) ::SetEnvironmentVariableW(L"ZX_PLANTED_NETSHELL_LOADED", L"1");
    return TRUE;
}

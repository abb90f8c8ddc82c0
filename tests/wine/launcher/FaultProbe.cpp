// A program that faults on purpose right after installing the launcher's fault report,
// so that the test sees the "Error" box and the exit code a real fault gives.
#include <windows.h>

#include "launcher/win32/FaultReport.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    zx::launcher::ReportUnhandledFaults();
    // Volatile on both levels: the compiler can neither see the null nor drop the write.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
    return 0;
}

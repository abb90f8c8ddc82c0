// SetUnhandledExceptionFilter with a box titled "Error".
#include "launcher/win32/FaultReport.h"

#include <windows.h>

#include <cstdint>

#include "launcher/FaultText.h"
#include "launcher/LauncherFlow.h"
#include "platform/win32/WideText.h"

namespace zx::launcher {

namespace {

LONG WINAPI ShowFaultAndEnd(EXCEPTION_POINTERS* fault) {
    const EXCEPTION_RECORD& record = *fault->ExceptionRecord;
    const std::u16string text =
        DescribeSystemFault(record.ExceptionCode, reinterpret_cast<std::uintptr_t>(record.ExceptionAddress));
    ::MessageBoxW(nullptr, Wide(text), Wide(std::u16string(kFaultCaption)), kFaultBoxStyle);
    // The fault's code is never 0, so the exit code tells every caller that it failed.
    ::ExitProcess(record.ExceptionCode != 0 ? record.ExceptionCode : kFaultExitCode);
}

} // namespace

void ReportUnhandledFaults() {
    ::SetUnhandledExceptionFilter(ShowFaultAndEnd);
}

} // namespace zx::launcher

// Faults the C++ code cannot catch (an access violation, a stack overflow) end the
// launcher with a box titled "Error" that names them, instead of silently.
#pragma once

namespace zx::launcher {

// Installs the process's last-chance handler: the box, then the end of the process with
// the fault's code as exit code. Call at the entry.
void ReportUnhandledFaults();

} // namespace zx::launcher

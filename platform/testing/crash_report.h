// A test program that crashes prints where (the faulting module and offset,
// then the calling frames) and ends at once, instead of leaving the report
// to a debugger that may never come.
#pragma once

namespace orvo::testing {

// Installs the process's last-chance exception filter.
void report_crashes();

}  // namespace orvo::testing

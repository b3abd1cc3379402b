// The report of a run-time error: its line, the back-trace and the closing
// empty line, made without the heap (which may be what failed).
#pragma once

#include <cstddef>
#include <cstdint>

#include "error_output.h"

// True when [address, address + bytes) lies in this thread's committed stack.
[[nodiscard]] bool IsOnStack(const void* address, size_t bytes);

// Writes "Runtime error N at $XXXXXXXX", then one back-trace line for the
// failing address and one per calling frame found from `frame` (a frame
// pointer: saved frame pointer, then return address), then an empty line.
void WriteFaultReport(TErrorOutput& output, uint16_t number, const void* address,
                      const void* frame);

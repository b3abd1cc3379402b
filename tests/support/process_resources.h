// What a running process holds, read from outside it: its memory, every
// window it owns and its live GDI objects. Under Wine GetGuiResources answers
// 0 whatever a process holds, so windows and GDI objects are counted directly.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

struct MemoryUse {
  SIZE_T workingSet = 0;
  // Private memory: under Wine the resident anonymous pages plus swap.
  SIZE_T privateBytes = 0;
};
// From GetProcessMemoryInfo; empty when it fails.
std::optional<MemoryUse> MemoryOf(HANDLE process);

// Every window of the process, sorted: top-level ones shown or not, all their
// descendants, and its message-only windows.
std::vector<HWND> WindowsOf(DWORD processId);

// The process's live GDI objects, read from its handle table; empty when the
// table cannot be read.
std::optional<int> GdiObjectsOf(HANDLE process);

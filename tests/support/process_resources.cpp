#include "process_resources.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>

#include "window_probe.h"

namespace {

// Wine, like Windows, keeps a process's GDI handles in a table that its PEB
// points at (GdiSharedHandleTable, at 0x94 in a 32-bit PEB). Wine's entry is
// 24 bytes with the object's type at 14, zero once the object is deleted, and
// the table has room for 65536 of them.
constexpr SIZE_T kPebGdiTableOffset = 0x94;
constexpr size_t kGdiTableEntries = 0x10000;
#pragma pack(push, 1)
struct GdiTableEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t userPointer;
};
#pragma pack(pop)
static_assert(sizeof(GdiTableEntry) == 24);

void* PebOf(HANDLE process) {
  using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION info{};
  ULONG length = 0;
  if (!query || query(process, ProcessBasicInformation, &info, sizeof info, &length) != 0) {
    return nullptr;
  }
  return info.PebBaseAddress;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

void AddWithDescendants(HWND window, std::vector<HWND>* windows) {
  windows->push_back(window);
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(windows));
}

}  // namespace

std::optional<MemoryUse> MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return std::nullopt;
  return MemoryUse{counters.WorkingSetSize, counters.PagefileUsage};
}

std::vector<HWND> WindowsOf(DWORD processId) {
  std::vector<HWND> windows;
  for (HWND top : TopWindowsOf(processId))
    AddWithDescendants(top, &windows);
  // EnumWindows leaves out the windows parented to HWND_MESSAGE.
  for (HWND window = nullptr;
       (window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) AddWithDescendants(window, &windows);
  }
  std::sort(windows.begin(), windows.end());
  windows.erase(std::unique(windows.begin(), windows.end()), windows.end());
  return windows;
}

std::optional<int> GdiObjectsOf(HANDLE process) {
  char* peb = static_cast<char*>(PebOf(process));
  if (!peb) return std::nullopt;
  DWORD table = 0;
  if (!ReadProcessMemory(process, peb + kPebGdiTableOffset, &table, sizeof table, nullptr) ||
      !table) {
    return std::nullopt;
  }
  std::vector<GdiTableEntry> entries(kGdiTableEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<uintptr_t>(table)),
                         entries.data(), entries.size() * sizeof(GdiTableEntry), nullptr)) {
    return std::nullopt;
  }
  return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                        [](const GdiTableEntry& entry) { return entry.type; }));
}

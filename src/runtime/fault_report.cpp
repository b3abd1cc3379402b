#include "fault_report.h"

#include <windows.h>

#include <iterator>
#include <string_view>

namespace {

constexpr int kMaxFrames = 16;
constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

// One line of the report in a fixed buffer, long enough for a module's name.
class TReportLine {
 public:
  void Add(std::wstring_view text) {
    for (wchar_t c : text) {
      if (length_ < std::size(text_)) text_[length_++] = c;
    }
  }
  void AddDecimal(uint32_t value) {
    wchar_t digits[10];
    int count = 0;
    do {
      digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (count > 0)
      Add({&digits[--count], 1});
  }
  void AddHex8(uint32_t value) {
    for (int shift = 28; shift >= 0; shift -= 4)
      Add({&kHexDigits[(value >> shift) & 0xF], 1});
  }
  [[nodiscard]] std::wstring_view Text() const { return {text_, length_}; }

 private:
  wchar_t text_[MAX_PATH + 64];
  size_t length_ = 0;
};

// The module an address belongs to, when it lies in executable image code.
HMODULE CodeModuleOf(const void* address) {
  MEMORY_BASIC_INFORMATION info{};
  if (VirtualQuery(address, &info, sizeof info) == 0) return nullptr;
  constexpr DWORD kExecutable =
      PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  if (info.State != MEM_COMMIT || info.Type != MEM_IMAGE || !(info.Protect & kExecutable)) {
    return nullptr;
  }
  return static_cast<HMODULE>(info.AllocationBase);
}

// "  at $XXXXXXXX (module+$XXXXXXXX)", the module part when the address is code.
void WriteTraceLine(TErrorOutput& output, const void* address) {
  TReportLine line;
  const auto value = reinterpret_cast<uintptr_t>(address);
  line.Add(L"  at $");
  line.AddHex8(value);
  if (HMODULE module = CodeModuleOf(address)) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring_view name(path, length);
    if (const size_t slash = name.find_last_of(L"\\/"); slash != std::wstring_view::npos) {
      name.remove_prefix(slash + 1);
    }
    line.Add(L" (");
    line.Add(name);
    line.Add(L"+$");
    line.AddHex8(value - reinterpret_cast<uintptr_t>(module));
    line.Add(L")");
  }
  line.Add(L"\r\n");
  output.Write(line.Text());
}

// What NtCurrentTeb reads, without the header's intrinsic that GCC 12 takes
// for an out-of-bounds array access: fs:[0x18] is the block's own address.
const NT_TIB* ThreadInformationBlock() {
  const NT_TIB* tib = nullptr;
  asm("movl %%fs:0x18, %0" : "=r"(tib));
  return tib;
}

}  // namespace

bool IsOnStack(const void* address, size_t bytes) {
  const NT_TIB* tib = ThreadInformationBlock();
  const auto low = reinterpret_cast<uintptr_t>(tib->StackLimit);
  const auto high = reinterpret_cast<uintptr_t>(tib->StackBase);
  const auto at = reinterpret_cast<uintptr_t>(address);
  return at >= low && at < high && high - at >= bytes;
}

void WriteFaultReport(TErrorOutput& output, uint16_t number, const void* address,
                      const void* frame) {
  TReportLine line;
  line.Add(L"Runtime error ");
  line.AddDecimal(number);
  line.Add(L" at $");
  line.AddHex8(reinterpret_cast<uintptr_t>(address));
  line.Add(L"\r\n");
  output.Write(line.Text());

  WriteTraceLine(output, address);
  // Code built without frame pointers leaves anything in them: a frame is
  // followed only while it lies on the stack, above the last one, and
  // returns into code.
  auto* framePointer = static_cast<const void* const*>(frame);
  for (int depth = 0; depth < kMaxFrames; ++depth) {
    if (reinterpret_cast<uintptr_t>(framePointer) % alignof(void*) != 0 ||
        !IsOnStack(framePointer, 2 * sizeof(void*))) {
      break;
    }
    const void* returnAddress = framePointer[1];
    if (!CodeModuleOf(returnAddress)) break;
    WriteTraceLine(output, returnAddress);
    auto* next = static_cast<const void* const*>(framePointer[0]);
    if (next <= framePointer) break;
    framePointer = next;
  }
  output.Write(L"\r\n");
}

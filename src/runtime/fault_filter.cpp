#include "fault_filter.h"

#include "process_exit.h"

namespace {

constexpr int kMaxInstructionLength = 15;

LONG exceptionsInHandling = 0;

constexpr DWORD kDirectionFlag = 0x400;

struct TPendingFault {
  uint16_t number;
  const void* address;
  const void* frame;
};
TPendingFault pendingFault{};

// lock, repne, rep; the segment overrides; operand and address size.
bool IsPrefix(uint8_t byte) {
  constexpr uint8_t kPrefixes[] = {0xF0, 0xF2, 0xF3, 0x26, 0x2E, 0x36,
                                   0x3E, 0x64, 0x65, 0x66, 0x67};
  for (uint8_t prefix : kPrefixes) {
    if (byte == prefix) return true;
  }
  return false;
}

// Bytes after the ModRM byte: SIB and displacement.
int OperandBytes(const uint8_t* code, int count, int at, bool address16) {
  const uint8_t modrm = code[at - 1];
  const int mod = modrm >> 6;
  const int rm = modrm & 7;
  if (mod == 3) return 0;
  if (address16) return mod == 1 ? 1 : (mod == 2 || (mod == 0 && rm == 6)) ? 2 : 0;
  int extra = 0;
  if (rm == 4) {
    if (at >= count) return -1;
    extra = 1;
    if (mod == 0 && (code[at] & 7) == 5) extra += 4;
  } else if (mod == 0 && rm == 5) {
    extra = 4;
  }
  if (mod == 1) extra += 1;
  if (mod == 2) extra += 4;
  return extra;
}

int FaultingPrefetchLength(const void* address) {
  uint8_t code[kMaxInstructionLength];
  SIZE_T read = 0;
  if (!ReadProcessMemory(GetCurrentProcess(), address, code, sizeof code, &read)) {
    // The instruction may end just before an unreadable page.
    const SIZE_T toPageEnd = 0x1000 - (reinterpret_cast<uintptr_t>(address) & 0xFFF);
    if (toPageEnd >= sizeof code ||
        !ReadProcessMemory(GetCurrentProcess(), address, code, toPageEnd, &read)) {
      return 0;
    }
  }
  return PrefetchLength(code, static_cast<int>(read));
}

// An unmasked x87 exception stays pending in the state the thread resumes
// with and would fire again at the next x87 instruction, inside a system DLL
// among the exit steps, where nothing reports it. fninit clears it and loads
// the default control word (every exception masked); SSE is put back to its
// default too, in case the program had unmasked exceptions there.
void ResetFloatingPoint() {
  constexpr uint32_t kDefaultMxcsr = 0x1F80;
  asm volatile("fninit");
  asm volatile("ldmxcsr %0" : : "m"(kDefaultMxcsr));
}

// Where a faulting thread resumes. The exit steps run here, once the system
// has finished dispatching the exception: a fault inside them then reaches
// the filter again, where one raised inside the filter itself would end the
// process at once, unreported.
[[noreturn]] void EndAfterFault() {
  ResetFloatingPoint();
  RaiseFaultAt(pendingFault.number, pendingFault.address, pendingFault.frame);
}

// A stack overflow leaves too little stack for the exit steps (a message box
// needs far more): they run on a fresh thread while this one waits.
DWORD WINAPI EndOnFreshStack(void*) {
  EndAfterFault();
}

}  // namespace

uint16_t FaultNumberOfException(DWORD code) {
  switch (code) {
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
      return 200;
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
      return 201;
    case EXCEPTION_STACK_OVERFLOW:
      return 202;
    case EXCEPTION_FLT_OVERFLOW:
      return 205;
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
      return 206;
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_STACK_CHECK:
      return 207;
    case EXCEPTION_INT_OVERFLOW:
      return 215;
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      return 216;
    case STATUS_CONTROL_C_EXIT:
      return 217;
    case EXCEPTION_PRIV_INSTRUCTION:
      return 218;
    default:
      // Both severity bits set: an error.
      return (code & 0xC0000000u) == 0xC0000000u ? 217 : 255;
  }
}

int PrefetchLength(const uint8_t* code, int count) {
  int at = 0;
  bool address16 = false;
  while (at < count && at < kMaxInstructionLength && IsPrefix(code[at])) {
    if (code[at] == 0x67) address16 = true;
    ++at;
  }
  if (count - at < 3 || code[at] != 0x0F || (code[at + 1] != 0x0D && code[at + 1] != 0x18)) {
    return 0;
  }
  at += 3;  // 0F, the opcode and ModRM
  const int extra = OperandBytes(code, count, at, address16);
  if (extra < 0 || at + extra > count || at + extra > kMaxInstructionLength) return 0;
  return at + extra;
}

LONG WINAPI RuntimeExceptionFilter(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
  if (InterlockedIncrement(&exceptionsInHandling) > kMaxExceptionsInHandling) {
    InterlockedDecrement(&exceptionsInHandling);
    return EXCEPTION_CONTINUE_SEARCH;
  }
  if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION) {
    // Some processors fault on a prefetch of a bad address; it is only a hint.
    if (const int length = FaultingPrefetchLength(record.ExceptionAddress); length > 0) {
      pointers->ContextRecord->Eip += length;
      InterlockedDecrement(&exceptionsInHandling);
      return EXCEPTION_CONTINUE_EXECUTION;
    }
  }
  CONTEXT& context = *pointers->ContextRecord;
  pendingFault = {FaultNumberOfException(record.ExceptionCode), record.ExceptionAddress,
                  reinterpret_cast<const void*>(context.Ebp)};
  if (record.ExceptionCode == EXCEPTION_STACK_OVERFLOW) {
    pendingFault.frame = nullptr;  // that stack is not the fresh thread's to walk
    if (HANDLE thread = CreateThread(nullptr, 0, EndOnFreshStack, nullptr, 0, nullptr)) {
      WaitForSingleObject(thread, INFINITE);
    }
  }
  // The system refuses to resume after these: the steps run in here then.
  if (record.ExceptionFlags & EXCEPTION_NONCONTINUABLE) EndAfterFault();
  // Resume as if the faulting instruction had called EndAfterFault, on an
  // aligned stack just below the fault's.
  context.Esp = (context.Esp & ~DWORD{15}) - sizeof(void*);
  context.Eip = static_cast<DWORD>(reinterpret_cast<uintptr_t>(&EndAfterFault));
  context.EFlags &= ~kDirectionFlag;
  return EXCEPTION_CONTINUE_EXECUTION;
}

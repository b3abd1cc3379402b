// A small program on the run-time for the black-box tests. The first argument
// picks what it does; the second, when given, is a file where it notes the
// order of its unit and exit steps and the address of its faulting function.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

#include "heap.h"
#include "process_exit.h"
#include "runtime_unit.h"
#include "units.h"

namespace {

const char* notesPath = nullptr;
volatile int zero = 0;
volatile int sink = 0;
volatile int stopDepth = -1;
volatile size_t hugeSize = 0x7FFF0000u;

void Note(const char* text) {
  if (!notesPath) return;
  if (FILE* file = std::fopen(notesPath, "ab")) {
    std::fputs(text, file);
    std::fclose(file);
  }
}

void NoteAddress(const void* address) {
  char text[32];
  std::snprintf(text, sizeof text, "fn=%08X ",
                static_cast<unsigned>(reinterpret_cast<uintptr_t>(address)));
  Note(text);
}

[[gnu::noinline]] void WriteToBadAddress() {
  int* volatile target = reinterpret_cast<int*>(16);
  *target = 1;
}

void FirstUnitInit() {
  Note("I1 ");
}
void FirstUnitFinal() {
  Note("F1 ");
}
void SecondUnitInit() {
  Note("I2 ");
}
void SecondUnitFinal() {
  Note("F2 ");
}
void FirstExitProc() {
  Note("E1 ");
}
void SecondExitProc() {
  Note("E2 ");
}

void FaultingExitProc() {
  Note("EF ");
  WriteToBadAddress();
}

constexpr TUnitEntry kUnits[] = {
    {RuntimeInitialization, nullptr},
    {FirstUnitInit, FirstUnitFinal},
    {SecondUnitInit, SecondUnitFinal},
};

[[gnu::noinline]] void Divide() {
  sink = 100 / zero;
}

// x87 work with one exception unmasked (a bit of the control word: 1 invalid
// operation, 4 division by zero, 8 overflow, 16 underflow). The FPU keeps the
// exception pending until its next waiting instruction, the fwait here.
void UnmaskX87(uint16_t exceptionBit) {
  const uint16_t controlWord = 0x037F & ~exceptionBit;
  asm volatile("fldcw %0" : : "m"(controlWord));
}

[[gnu::noinline]] void X87SquareRootOfMinusOne() {
  UnmaskX87(1);
  asm volatile("fld1\n\tfchs\n\tfsqrt\n\tfwait\n\tfstp %%st(0)" : : : "memory");
}

[[gnu::noinline]] void X87DivideByZero() {
  const double zeroValue = zero;
  UnmaskX87(4);
  asm volatile("fld1\n\tfdivl %0\n\tfwait\n\tfstp %%st(0)" : : "m"(zeroValue) : "memory");
}

// The square stays within the x87's own range; storing it as a double cannot.
[[gnu::noinline]] void X87StoreSquare(double value, uint16_t exceptionBit) {
  double stored = 0;
  UnmaskX87(exceptionBit);
  asm volatile("fldl %1\n\tfmul %%st(0), %%st\n\tfstpl %0\n\tfwait"
               : "=m"(stored)
               : "m"(value)
               : "memory");
  sink = static_cast<int>(stored);
}

[[gnu::noinline]] int Recurse(int depth) {
  volatile char pad[512];
  pad[0] = static_cast<char>(depth);
  if (depth == stopDepth) return 0;
  return Recurse(depth + 1) + pad[0];
}

void Run(std::string_view what) {
  if (what == "divide") {
    NoteAddress(reinterpret_cast<const void*>(&Divide));
    Divide();
  } else if (what == "access") {
    NoteAddress(reinterpret_cast<const void*>(&WriteToBadAddress));
    WriteToBadAddress();
  } else if (what == "fault-in-exit-step") {
    AddExitProc(FaultingExitProc);
    Divide();
  } else if (what == "faults-in-exit-steps") {
    // The first fault and 15 more, each while the earlier ones are in handling.
    for (int i = 0; i < 15; ++i)
      AddExitProc(FaultingExitProc);
    Divide();
  } else if (what == "overflow") {
    sink = Recurse(0);
  } else if (what == "heap") {
    sink = *new char[hugeSize];
  } else if (what == "foreign") {
    FreeMem(HeapAlloc(GetProcessHeap(), 0, 32));
  } else if (what == "double-free") {
    void* block = GetMem(24);
    FreeMem(block);
    FreeMem(block);
  } else if (what == "noncontinuable") {
    RaiseException(0xE0000001, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  } else if (what == "x87-invalid") {
    X87SquareRootOfMinusOne();
  } else if (what == "x87-divide") {
    X87DivideByZero();
  } else if (what == "x87-overflow") {
    X87StoreSquare(1e300, 8);
  } else if (what == "x87-underflow") {
    X87StoreSquare(1e-300, 16);
  } else if (what == "throw") {
    throw std::runtime_error("nobody catches this");
  } else if (what == "library-check") {
    sink = static_cast<int>(std::string(what).substr(1000).size());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) notesPath = argv[2];
  InitUnits(kUnits, 3);
  AddExitProc(FirstExitProc);
  AddExitProc(SecondExitProc);
  if (argc > 1) Run(argv[1]);
  EndProcess(0);
}

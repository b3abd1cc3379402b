// The run-time's exit steps and fault reports, from outside: a small program
// faults in each way, and the test reads and dismisses its "Error" boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "program_driver.h"

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kMessageTextId = 0xFFFF;  // the static control of a message box
constexpr DWORD kDeadlineMs = 20000;

struct TRun {
  DWORD exitCode = STILL_ACTIVE;
  std::vector<std::string> boxes;
  std::string notesAtFirstBox;
  std::string notes;
};

std::string NotesPath() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "runtime_fault_notes.txt";
}

std::string ReadNotes() {
  std::ifstream file(NotesPath(), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void WaitUntilGone(HWND box) {
  const DWORD start = GetTickCount();
  while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < kDeadlineMs) {
    Sleep(10);
  }
}

// Starts the program with `what`, answers every "Error" box with OK and
// waits for its end.
TRun RunFaultProgram(const std::string& what) {
  DeleteFileA(NotesPath().c_str());
  TRun run;
  ProgramDriver program;
  if (!program.StartExe(SiblingPath("runtime_fault_program.exe"),
                        what + " \"" + NotesPath() + "\"")) {
    ADD_FAILURE() << "cannot start the program";
    return run;
  }
  while (HWND box = program.WaitForWindow(kDialogClass, "Error", kDeadlineMs)) {
    if (run.boxes.empty()) run.notesAtFirstBox = ReadNotes();
    char text[4096] = {};
    GetDlgItemTextA(box, kMessageTextId, text, sizeof text);
    run.boxes.push_back(text);
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    WaitUntilGone(box);
  }
  EXPECT_TRUE(program.WaitForExit(kDeadlineMs)) << what;
  run.exitCode = program.ExitCode();
  run.notes = ReadNotes();
  DeleteFileA(NotesPath().c_str());
  return run;
}

bool IsUpperHex(const std::string& text) {
  return text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

// Checks the report line and answers the fault address it gives (0 when it is malformed).
uint32_t ReportedAddress(const std::string& report, int number) {
  const std::string head = "Runtime error " + std::to_string(number) + " at $";
  EXPECT_EQ(report.substr(0, head.size()), head) << report;
  const std::string digits = report.substr(head.size(), 8);
  EXPECT_TRUE(digits.size() == 8 && IsUpperHex(digits)) << report;
  EXPECT_EQ(report.substr(head.size() + 8, 2), "\r\n") << report;
  // The back-trace opens with the failing address; an empty line ends the report.
  EXPECT_NE(report.find("\r\n  at $" + digits), std::string::npos) << report;
  EXPECT_EQ(report.substr(report.size() - 4), "\r\n\r\n") << report;
  return static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

uint32_t NotedFunction(const std::string& notes) {
  const size_t at = notes.find("fn=");
  return at == std::string::npos ? 0 : std::strtoul(notes.c_str() + at + 3, nullptr, 16);
}

}  // namespace

// Exit procedures run newest first, then the unit finalisations last unit
// first; no box, exit code 0.
TEST(FaultProgram, NormalEndRunsTheExitStepsInOrderWithoutABox) {
  const TRun run = RunFaultProgram("normal");
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(run.notes, "I1 I2 E2 E1 F2 F1 ");
  EXPECT_EQ(run.exitCode, 0u);
}

// The report names the dividing instruction itself, comes after the exit
// steps, and is the one box of the run.
TEST(FaultProgram, DivisionByZeroIsError200AtTheFaultingInstruction) {
  const TRun run = RunFaultProgram("divide");
  ASSERT_EQ(run.boxes.size(), 1u);
  const uint32_t address = ReportedAddress(run.boxes[0], 200);
  const uint32_t function = NotedFunction(run.notesAtFirstBox);
  EXPECT_GE(address, function);
  EXPECT_LT(address, function + 64);
  EXPECT_NE(run.notesAtFirstBox.find("E2 E1 F2 F1 "), std::string::npos) << run.notesAtFirstBox;
  EXPECT_EQ(run.exitCode, 200u);
}

TEST(FaultProgram, AccessViolationIsError216) {
  const TRun run = RunFaultProgram("access");
  ASSERT_EQ(run.boxes.size(), 1u);
  const uint32_t address = ReportedAddress(run.boxes[0], 216);
  const uint32_t function = NotedFunction(run.notes);
  EXPECT_GE(address, function);
  EXPECT_LT(address, function + 64);
  EXPECT_EQ(run.exitCode, 216u);
}

// A fault inside an exit step is handled while the first one still is: the
// remaining steps run and the later error is the one reported.
TEST(FaultProgram, FaultDuringTheExitStepsEndsWithTheLaterError) {
  const TRun run = RunFaultProgram("fault-in-exit-step");
  ASSERT_EQ(run.boxes.size(), 1u);
  ReportedAddress(run.boxes[0], 216);
  EXPECT_EQ(run.notes, "I1 I2 EF E2 E1 F2 F1 ");
  EXPECT_EQ(run.exitCode, 216u);
}

// Sixteen exceptions in handling at once are still turned into errors.
TEST(FaultProgram, SixteenNestedFaultsAreAllHandled) {
  const TRun run = RunFaultProgram("faults-in-exit-steps");
  ASSERT_EQ(run.boxes.size(), 1u);
  ReportedAddress(run.boxes[0], 216);
  std::string faults;
  for (int i = 0; i < 15; ++i)
    faults += "EF ";
  EXPECT_EQ(run.notes, "I1 I2 " + faults + "E2 E1 F2 F1 ");
  EXPECT_EQ(run.exitCode, 216u);
}

TEST(FaultProgram, StackOverflowIsError202) {
  const TRun run = RunFaultProgram("overflow");
  ASSERT_EQ(run.boxes.size(), 1u);
  ReportedAddress(run.boxes[0], 202);
  EXPECT_NE(run.notes.find("E2 E1 F2 F1 "), std::string::npos) << run.notes;
  EXPECT_EQ(run.exitCode, 202u);
}

TEST(FaultProgram, AllocationThatCannotBeMetIsError203) {
  const TRun run = RunFaultProgram("heap");
  ASSERT_EQ(run.boxes.size(), 1u);
  ReportedAddress(run.boxes[0], 203);
  EXPECT_EQ(run.exitCode, 203u);
}

TEST(FaultProgram, FreeingAForeignOrFreedBlockIsError204) {
  for (const char* what : {"foreign", "double-free"}) {
    const TRun run = RunFaultProgram(what);
    ASSERT_EQ(run.boxes.size(), 1u) << what;
    ReportedAddress(run.boxes[0], 204);
    EXPECT_EQ(run.exitCode, 204u) << what;
  }
}

// A C++ exception nobody caught (the program's own or a failed check of the
// C++ library), and a system error the system will not resume after, all end
// with the one report of error 217.
TEST(FaultProgram, UncaughtExceptionsAreError217) {
  for (const char* what : {"throw", "library-check", "noncontinuable"}) {
    const TRun run = RunFaultProgram(what);
    ASSERT_EQ(run.boxes.size(), 1u) << what;
    ReportedAddress(run.boxes[0], 217);
    EXPECT_NE(run.notes.find("E2 E1 F2 F1 "), std::string::npos) << what;
    EXPECT_EQ(run.exitCode, 217u) << what;
  }
}

// An unmasked x87 exception is still pending in the FPU when the exit steps
// start; it must not fire again inside them. One report, the error's number.
TEST(FaultProgram, X87ExceptionsEndInOneReportOfTheirError) {
  const struct {
    const char* what;
    int number;
  } kCases[] = {
      {"x87-invalid", 207},
      {"x87-divide", 200},
      {"x87-overflow", 205},
      {"x87-underflow", 206},
  };
  for (const auto& entry : kCases) {
    const TRun run = RunFaultProgram(entry.what);
    ASSERT_EQ(run.boxes.size(), 1u) << entry.what;
    ReportedAddress(run.boxes[0], entry.number);
    EXPECT_NE(run.notes.find("E2 E1 F2 F1 "), std::string::npos) << entry.what;
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(entry.number)) << entry.what;
  }
}

#include "unattended.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "command_line.h"
#include "error_output.h"
#include "long_work.h"
#include "text_conv.h"

namespace {

constexpr int32_t kEveryTargetEmpty = 0;
constexpr int32_t kSomethingLeft = 1;

// "/auto /log FILE": the log's path follows its switch.
constexpr char kLogSwitch[] = "/log";
constexpr uint64_t kBytesPerMegabyte = 1048576;

// Left open until the process ends, so that a run-time error in the teardown
// is logged too.
HANDLE logFile = INVALID_HANDLE_VALUE;

// Appended to and created when missing; others may read it meanwhile, and
// another run append to it.
HANDLE OpenLog(const std::string& path) {
  return CreateFileW(ToWstr(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void AppendToLog(std::string_view text) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(logFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Converted on the stack: the heap may be what failed.
void ReportToLog(std::wstring_view report) {
  char text[TErrorOutput::kBufferSize * 3];
  const int length = WideCharToMultiByte(CP_UTF8, 0, report.data(), static_cast<int>(report.size()),
                                         text, sizeof text, nullptr, nullptr);
  AppendToLog({text, static_cast<size_t>(length)});
}

// What one press came to.
struct TOutcome {
  int32_t refusal;  // kNotRefused when the folder was walked (or was missing)
  TDeleteTally tally;
};

// Through the button's control, as a click on it would: the same chain runs.
TOutcome Press(const TCleaningTarget& target) {
  target.deleter->Tally = {};
  if (target.button->Control) target.button->Control->Click();
  // As the loop would on taking its next message.
  EndLongWork();
  return {target.search->LastRefusal, target.deleter->Tally};
}

uint32_t Kept(const TDeleteTally& tally) {
  return tally.inUse + tally.links + tally.failed;
}

bool LeftNothing(const TOutcome& outcome) {
  return outcome.refusal == kNotRefused && Kept(outcome.tally) == 0;
}

// The decimal digits of value, with leading zeros up to width.
void AddNumber(std::string& line, uint64_t value, int width = 1) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0 || count < width);
  while (count > 0)
    line += digits[--count];
}

// "2026-12-09 06:30:05"
void AddLocalTime(std::string& line) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  AddNumber(line, now.wYear, 4);
  line += '-';
  AddNumber(line, now.wMonth, 2);
  line += '-';
  AddNumber(line, now.wDay, 2);
  line += ' ';
  AddNumber(line, now.wHour, 2);
  line += ':';
  AddNumber(line, now.wMinute, 2);
  line += ':';
  AddNumber(line, now.wSecond, 2);
}

// One decimal, "." as the separator, as the program writes numbers anywhere.
void AddMegabytes(std::string& line, uint64_t bytes) {
  const uint64_t tenths = (bytes * 10 + kBytesPerMegabyte / 2) / kBytesPerMegabyte;
  AddNumber(line, tenths / 10);
  line += '.';
  AddNumber(line, tenths % 10);
  line += " МБ";
}

struct TKeptReason {
  const char* text;
  uint32_t TDeleteTally::*count;
};
constexpr TKeptReason kKeptReasons[] = {
    {"занято другой программой: ", &TDeleteTally::inUse},
    {"ссылки: ", &TDeleteTally::links},
    {"не удалось удалить: ", &TDeleteTally::failed},
};

// "удалено: 3 (0.1 МБ), осталось: 1 (занято другой программой: 1)": only
// the reasons that kept something are named.
void AddTally(std::string& line, const TDeleteTally& tally) {
  line += "удалено: ";
  AddNumber(line, tally.deleted);
  line += " (";
  AddMegabytes(line, tally.bytes);
  line += "), осталось: ";
  AddNumber(line, Kept(tally));
  if (Kept(tally) == 0) return;
  std::string_view separator = " (";
  for (const TKeptReason& reason : kKeptReasons) {
    if (tally.*reason.count == 0) continue;
    line += separator;
    line += reason.text;
    AddNumber(line, tally.*reason.count);
    separator = ", ";
  }
  line += ')';
}

// "2026-12-09 06:30:05  %temp% — удалено: 3 (0.1 МБ), осталось: 0"
void LogOutcome(const TCleaningTarget& target, const TOutcome& outcome) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  std::string line;
  AddLocalTime(line);
  line += "  ";
  line += target.name;
  line += " — ";
  if (outcome.refusal == kNotRefused) {
    AddTally(line, outcome.tally);
  } else if (outcome.refusal == kRefusedOwnerRunning) {
    line += "пропущено: браузер запущен";
  } else {
    line += "пропущено: эту папку чистить опасно";
  }
  line += "\r\n";
  AppendToLog(line);
}

}  // namespace

void BeginUnattended(std::string_view commandLine) {
  ErrorOutputBuffer.Sink = ReportToLog;
  // Nor a system box for a drive that is not ready.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const std::string logPath = ArgumentAt(commandLine, 3);
  if (ArgumentAt(commandLine, 2) == kLogSwitch && !logPath.empty()) logFile = OpenLog(logPath);
}

int32_t CleanEveryTarget(const TClassMainForm_25378D0& scheme) {
  bool leftNothing = true;
  for (const TCleaningTarget& target : scheme.CleaningTargets()) {
    const TOutcome outcome = Press(target);
    LogOutcome(target, outcome);
    leftNothing = leftNothing && LeftNothing(outcome);
  }
  return leftNothing ? kEveryTargetEmpty : kSomethingLeft;
}

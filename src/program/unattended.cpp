#include "unattended.h"

#include <windows.h>

#include <string>
#include <utility>

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

std::string Digits(uint32_t value, size_t width) {
  const std::string digits = std::to_string(value);
  return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

// "2026-12-09 06:30:05"
std::string LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return Digits(now.wYear, 4) + "-" + Digits(now.wMonth, 2) + "-" + Digits(now.wDay, 2) + " " +
         Digits(now.wHour, 2) + ":" + Digits(now.wMinute, 2) + ":" + Digits(now.wSecond, 2);
}

// One decimal, "." as the separator, as the program writes numbers anywhere.
std::string Megabytes(uint64_t bytes) {
  const uint64_t tenths = (bytes * 10 + kBytesPerMegabyte / 2) / kBytesPerMegabyte;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " МБ";
}

// "занято другой программой: 1, ссылки: 2": only the reasons that kept something.
std::string KeptText(const TDeleteTally& tally) {
  const std::pair<const char*, uint32_t> reasons[] = {
      {"занято другой программой", tally.inUse},
      {"ссылки", tally.links},
      {"не удалось удалить", tally.failed}};
  std::string text;
  for (const auto& [reason, count] : reasons) {
    if (count == 0) continue;
    if (!text.empty()) text += ", ";
    text += std::string(reason) + ": " + std::to_string(count);
  }
  return text;
}

std::string TallyText(const TDeleteTally& tally) {
  std::string text = "удалено: " + std::to_string(tally.deleted) + " (" + Megabytes(tally.bytes) +
                     "), осталось: " + std::to_string(Kept(tally));
  if (Kept(tally) > 0) text += " (" + KeptText(tally) + ")";
  return text;
}

std::string RefusalText(int32_t refusal) {
  return refusal == kRefusedOwnerRunning ? "пропущено: браузер запущен"
                                         : "пропущено: эту папку чистить опасно";
}

// "2026-12-09 06:30:05  %temp% — удалено: 3 (0.1 МБ), осталось: 0"
void LogOutcome(const TCleaningTarget& target, const TOutcome& outcome) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  const std::string what = outcome.refusal == kNotRefused ? TallyText(outcome.tally)
                                                          : RefusalText(outcome.refusal);
  AppendToLog(LocalTime() + "  " + target.name + " — " + what + "\r\n");
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

// The error output device: when its text is shown, and in how many boxes. The
// writes run on a thread of their own while the test reads and dismisses each
// "Error" box, so the log shows where every box came between the writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "error_output.h"
#include "program_driver.h"

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control of a message box
constexpr DWORD kDeadlineMs = 20000;

struct TSession {
  std::vector<std::wstring> writes;
  TErrorOutput output;
  std::mutex lock;
  std::vector<std::string> log;  // "box" or "wrote N" or "closed"
  std::vector<std::wstring> boxTexts;

  void Note(const std::string& entry) {
    std::lock_guard<std::mutex> guard(lock);
    log.push_back(entry);
  }
};

DWORD WINAPI WriteAndClose(void* param) {
  auto& session = *static_cast<TSession*>(param);
  for (size_t i = 0; i < session.writes.size(); ++i) {
    session.output.Write(session.writes[i]);
    session.Note("wrote " + std::to_string(i));
  }
  session.output.Close();
  session.Note("closed");
  return 0;
}

BOOL CALLBACK FindErrorBox(HWND window, LPARAM param) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == GetCurrentProcessId() && IsWindowVisible(window) && ClassOf(window) == "#32770" &&
      WindowText(window) == "Error") {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

// Writes each text in turn on a thread of its own, then closes, while this
// thread reads and dismisses every box as it comes.
void WriteShowingBoxes(TSession& session, std::vector<std::wstring> writes) {
  session.writes = std::move(writes);
  HANDLE writer = CreateThread(nullptr, 0, WriteAndClose, &session, 0, nullptr);
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(writer, 10) == WAIT_TIMEOUT && GetTickCount() - start < kDeadlineMs) {
    HWND box = nullptr;
    EnumWindows(FindErrorBox, reinterpret_cast<LPARAM>(&box));
    if (!box) continue;
    wchar_t text[4096] = {};
    GetDlgItemTextW(box, kMessageTextId, text, std::size(text));
    session.boxTexts.push_back(text);
    session.Note("box");
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < kDeadlineMs)
      Sleep(5);
  }
  EXPECT_EQ(WaitForSingleObject(writer, 0), WAIT_OBJECT_0) << "the writer is stuck";
  CloseHandle(writer);
}

using TLog = std::vector<std::string>;

}  // namespace

TEST(ErrorOutput, TextWithoutAnEmptyLineWaitsForClose) {
  TSession nothing;
  WriteShowingBoxes(nothing, {L""});
  EXPECT_EQ(nothing.log, (TLog{"wrote 0", "closed"}));

  TSession session;
  WriteShowingBoxes(session, {L"first line\r\n", L"second line\r\n"});
  EXPECT_EQ(session.log, (TLog{"wrote 0", "wrote 1", "box", "closed"}));
  ASSERT_EQ(session.boxTexts.size(), 1u);
  EXPECT_EQ(session.boxTexts[0], L"first line\r\nsecond line\r\n");
}

TEST(ErrorOutput, TextEndingWithAnEmptyLineIsShownAtOnce) {
  TSession session;
  WriteShowingBoxes(session, {L"Runtime error 1\r\n", L"\r\n", L"more"});
  EXPECT_EQ(session.log, (TLog{"wrote 0", "box", "wrote 1", "wrote 2", "box", "closed"}));
  ASSERT_EQ(session.boxTexts.size(), 2u);
  EXPECT_EQ(session.boxTexts[0], L"Runtime error 1\r\n\r\n");
  EXPECT_EQ(session.boxTexts[1], L"more");
}

// Nothing is lost: a long text is shown in parts of at most 1024 characters,
// the full ones at once and the rest on close.
TEST(ErrorOutput, LongTextArrivesInPartsOfTheBufferSize) {
  std::wstring text;
  for (int line = 0; text.size() < 2500; ++line)
    text += L"line " + std::to_wstring(line) + L"\r\n";
  TSession session;
  WriteShowingBoxes(session, {text.substr(0, 100), text.substr(100)});
  EXPECT_EQ(session.log, (TLog{"wrote 0", "box", "box", "wrote 1", "box", "closed"}));
  std::wstring shown;
  for (const std::wstring& part : session.boxTexts) {
    EXPECT_LE(part.size(), TErrorOutput::kBufferSize);
    shown += part;
  }
  EXPECT_EQ(session.boxTexts[0].size(), TErrorOutput::kBufferSize);
  EXPECT_EQ(shown, text);
}

// A character outside the BMP is two UTF-16 units: the box that would end
// between them ends before it, and the next box shows it whole.
TEST(ErrorOutput, APairOfUnitsIsNeverSplitBetweenBoxes) {
  const std::wstring pair = L"\U0001D11E";
  const std::wstring text = std::wstring(TErrorOutput::kBufferSize - 1, L'x') + pair + L"end";
  TSession session;
  WriteShowingBoxes(session, {text});
  ASSERT_EQ(session.boxTexts.size(), 2u);
  EXPECT_EQ(session.boxTexts[0], text.substr(0, TErrorOutput::kBufferSize - 1));
  EXPECT_EQ(session.boxTexts[1], pair + L"end");
}

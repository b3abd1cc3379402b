// The main form on real windows: its close protocol under the message loop,
// and the placement it keeps in an INI file or in the registry.
#include "main_form.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "form_test_support.h"

namespace {

constexpr char kIniName[] = "kv_place_test.ini";
constexpr char kRegistryStore[] = "BrumixTest\\Placement";

std::string TestFolder() {
  char name[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, name, sizeof name);
  const std::string path(name, length);
  return path.substr(0, path.rfind('\\') + 1);
}

int CountIniFiles() {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((TestFolder() + "*.ini").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    ++count;
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return count;
}

DWORD CountSoftwareKeys() {
  HKEY software = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &software) != ERROR_SUCCESS) {
    return 0;
  }
  DWORD subKeys = 0;
  RegQueryInfoKeyA(software, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(software);
  return subKeys;
}

void DeleteRegistryStore() {
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\BrumixTest\\Placement");
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\BrumixTest");
}

RECT Bounds(TKVMainForm* form) {
  RECT rect{};
  GetWindowRect(form->Control->Handle, &rect);
  return rect;
}

// A form that keeps its placement in store, shown, moved and sized by hand.
TKVMainForm* MovedForm(const std::string& store, int32_t left, int32_t top, int32_t width,
                       int32_t height) {
  TKVMainForm* form = NewMainForm(5, 5, 200, 150);
  form->PlacementStore = store;
  form->Init();
  RunStartList();
  SetWindowPos(form->Control->Handle, nullptr, left, top, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  return form;
}

void Close(TKVMainForm* form) {
  TData none;
  form->doClose(none, 3);
}

}  // namespace

TEST_F(FormTest, TheCloseBoxAsksKeepOpenWhileDoCloseEndsTheLoopAndSilencesEveryComponent) {
  TRecorder recorder;
  recorder.KeepOpenAnswer = 1;
  TKVMainForm* form = NewMainForm(0, 0, 307, 376);
  form->SetCaption("Brumix test");
  form->SetBorderStyle(1);
  form->PositionHandler = BindEvent<&TKVMainForm::CenterOnScreen>(form);
  form->KeepOpen = Link<&TRecorder::KeepOpen>(&recorder, 0);
  form->onClose = recorder.Note("close");
  form->onDeactivate = recorder.Note("form deactivated");
  form->onHide = recorder.Note("form hidden");
  form->onMove = recorder.Note("form moved");
  form->onKillFocus = recorder.Note("form lost focus");
  form->Init();

  auto* box = new TTestBox(form->Control);
  box->Left = 10;
  box->Top = 10;
  box->Width = 120;
  box->Height = 24;
  box->Init();
  box->onClick = Link<&TKVMainForm::doClose>(form, 3);
  box->onMouseDown = recorder.Note("pressed");
  box->onKillFocus = recorder.Note("box lost focus");
  box->onHide = recorder.Note("box hidden");
  box->onMove = recorder.Note("box moved");
  box->onResize = recorder.Note("box resized");

  SetHooksWorking();
  Start();
  const HWND formWindow = form->Control->Handle;
  ASSERT_TRUE(IsWindowVisible(formWindow));
  const RECT shown = Bounds(form);
  EXPECT_EQ(shown.left, (GetSystemMetrics(SM_CXSCREEN) - 307) / 2);
  EXPECT_EQ(shown.top, (GetSystemMetrics(SM_CYSCREEN) - 376) / 2);

  // The close box first, then the button that is linked to doClose.
  PostMessageA(formWindow, WM_CLOSE, 0, 0);
  PostMessageA(box->Control->Handle, BM_CLICK, 0, 0);
  RunLoop(MainWindowControl);

  EXPECT_EQ(MainWindowControl, nullptr);
  EXPECT_FALSE(IsWindow(formWindow));
  EXPECT_TRUE(form->ControlDestroyed);
  EXPECT_EQ(form->Control, nullptr);
  EXPECT_TRUE(box->ControlDestroyed);
  EXPECT_EQ(box->Control, nullptr);
  EXPECT_EQ(recorder.Count("keep open?"), 1);
  EXPECT_EQ(recorder.Count("pressed"), 1);
  EXPECT_LT(recorder.Position("keep open?"), recorder.Position("pressed"));
  EXPECT_EQ(recorder.Count("close"), 1);

  delete box;
  delete form;
  ASSERT_FALSE(recorder.Notes.empty());
  EXPECT_EQ(recorder.Notes.back(), "close");
}

TEST_F(FormTest, AFormFreedBeforeTheStartIsNotStarted) {
  TRecorder recorder;
  TKVMainForm* form = NewMainForm(0, 0, 200, 100);
  form->onCreate = recorder.Note("create");
  form->Init();
  delete form;
  SetHooksWorking();
  Start();
  EXPECT_TRUE(recorder.Notes.empty());
}

TEST_F(FormTest, TheIniPlacementIsWrittenBesideTheProgramAndRestoredAtTheFirstShow) {
  const std::string file = TestFolder() + kIniName;
  DeleteFileA(file.c_str());
  const std::string store = std::string(kIniName) + "\\Main";

  TKVMainForm* form = MovedForm(store, 120, 80, 310, 220);
  const RECT saved = Bounds(form);
  Close(form);
  char section[256] = {};
  const DWORD length = GetPrivateProfileSectionA("Main", section, sizeof section, file.c_str());
  std::string lines(section, length);
  std::replace(lines.begin(), lines.end(), '\0', ';');
  EXPECT_EQ(lines, "Left=" + std::to_string(saved.left) + ";Top=" + std::to_string(saved.top) +
                       ";Width=" + std::to_string(saved.right - saved.left) +
                       ";Height=" + std::to_string(saved.bottom - saved.top) + ";");
  delete form;
  FreeApplication();

  TKVMainForm* again = NewMainForm(5, 5, 200, 150);
  again->PlacementStore = store;
  again->Init();
  RunStartList();
  const RECT restored = Bounds(again);
  EXPECT_EQ(restored.left, saved.left);
  EXPECT_EQ(restored.top, saved.top);
  EXPECT_EQ(restored.right, saved.right);
  EXPECT_EQ(restored.bottom, saved.bottom);
  delete again;
  DeleteFileA(file.c_str());
}

TEST_F(FormTest, TheRegistryPlacementKeepsFourDwordsAndSkipsAValueOfAnotherSize) {
  DeleteRegistryStore();
  TKVMainForm* form = MovedForm(kRegistryStore, 130, 70, 320, 230);
  Close(form);
  HKEY key = nullptr;
  ASSERT_EQ(
      RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\BrumixTest\\Placement", 0, KEY_ALL_ACCESS, &key),
      ERROR_SUCCESS);
  const std::pair<const char*, DWORD> expected[] = {
      {"Left", 130}, {"Top", 70}, {"Height", 230}, {"Width", 320}};
  for (const auto& [name, value] : expected) {
    DWORD data = 0;
    DWORD type = 0;
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(size, 4u) << name;
    EXPECT_EQ(data, value) << name;
  }
  delete form;
  FreeApplication();

  // A two-byte "Left" would leave two bytes of the buffer to chance.
  const WORD shortLeft = 400;
  RegSetValueExA(key, "Left", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&shortLeft),
                 sizeof shortLeft);
  const DWORD top = 90;
  RegSetValueExA(key, "Top", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&top), sizeof top);
  RegCloseKey(key);

  TKVMainForm* again = NewMainForm(11, 5, 200, 150);
  again->PlacementStore = kRegistryStore;
  again->Init();
  RunStartList();
  const RECT restored = Bounds(again);
  EXPECT_EQ(restored.left, 11);
  EXPECT_EQ(restored.top, 90);
  EXPECT_EQ(restored.right - restored.left, 320);
  EXPECT_EQ(restored.bottom - restored.top, 230);
  delete again;
  DeleteRegistryStore();
}

TEST_F(FormTest, AnEmptyPlacementStoreTouchesNoFileAndNoKey) {
  const int iniFiles = CountIniFiles();
  const DWORD softwareKeys = CountSoftwareKeys();
  TKVMainForm* form = MovedForm("", 140, 60, 300, 200);
  Close(form);
  EXPECT_EQ(Bounds(form).left, 140);
  delete form;
  EXPECT_EQ(CountIniFiles(), iniFiles);
  EXPECT_EQ(CountSoftwareKeys(), softwareKeys);
}

TEST_F(FormTest, EveryBorderStyleGivesItsFrameWhetherSetBeforeOrAfterInit) {
  struct Frame {
    uint32_t style;
    uint32_t exStyle;
  };
  // Style and extended style of border styles 0 to 9.
  constexpr Frame kFrames[] = {
      {0, 0},           {0xC20000, 0}, {0xC70000, 0},   {0xC00000, 0x100}, {0xC00000, 0x80},
      {0xC40000, 0x80}, {0, 0x1},      {0x40000, 0x80}, {0, 0x201},        {0x40000, 0x200},
  };
  const auto frameOf = [](uint32_t n, bool beforeInit) {
    TKVMainForm* form = NewMainForm(0, 0, 200, 150);
    if (beforeInit) form->SetBorderStyle(n);
    form->Init();
    if (!beforeInit) form->SetBorderStyle(n);
    const HWND window = form->Control->EnsureHandle();
    const Frame frame{static_cast<uint32_t>(GetWindowLongW(window, GWL_STYLE)) & 0xC70000,
                      static_cast<uint32_t>(GetWindowLongW(window, GWL_EXSTYLE)) & 0x381};
    delete form;
    FreeApplication();
    return frame;
  };
  for (uint32_t n = 0; n < std::size(kFrames); ++n) {
    SCOPED_TRACE(n);
    const Frame before = frameOf(n, true);
    const Frame after = frameOf(n, false);
    EXPECT_EQ(before.style, kFrames[n].style);
    EXPECT_EQ(after.style, kFrames[n].style);
    // The window edge is the system's to give, to every thick or dialog frame.
    EXPECT_EQ(after.exStyle & ~WS_EX_WINDOWEDGE, kFrames[n].exStyle & ~WS_EX_WINDOWEDGE);
    EXPECT_EQ(before.exStyle, after.exStyle);
  }
}

// What the window-component tests share: the library's fixture with the
// components' own start-up, a small component on a real button, and a
// recorder that notes the events it is linked to.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app.h"
#include "control_kinds.h"
#include "control_props.h"
#include "event.h"
#include "hint_manager.h"
#include "kv_win.h"
#include "library_test.h"
#include "library_unit.h"
#include "main_form.h"
#include "start_list.h"

// The least a window component does: make its own control, then let the base
// configure it. Its button's click becomes onClick.
class TTestBox : public TKVWin {
 public:
  using TKVWin::TKVWin;
  void Init() override {
    Control = NewButton(Parent, "Test");
    SetOnClick(Control, MakeEvent<&TTestBox::Clicked>(this));
    TKVWin::Init();
  }
  TKV_Event onClick;

 private:
  void Clicked(TObj*) { FireNull(onClick); }
};

// Notes every event that reaches it, by the name its link's index gives.
struct TRecorder {
  void doNote(TData&, uint16_t index) { Notes.push_back(Names[index]); }
  // A data output answering KeepOpen.
  void KeepOpen(TData& data, uint16_t) {
    Notes.push_back("keep open?");
    SetInteger(data, KeepOpenAnswer);
  }
  TKV_Event Note(const std::string& name) {
    Names.push_back(name);
    return Link<&TRecorder::doNote>(this, static_cast<uint16_t>(Names.size() - 1));
  }
  [[nodiscard]] int Count(const std::string& name) const {
    return static_cast<int>(std::count(Notes.begin(), Notes.end(), name));
  }
  [[nodiscard]] int Position(const std::string& name) const {
    return static_cast<int>(std::find(Notes.begin(), Notes.end(), name) - Notes.begin());
  }

  std::vector<std::string> Names;
  std::vector<std::string> Notes;
  int32_t KeepOpenAnswer = 0;
};

// A top-level form at a given place, its properties set and nothing more.
inline TKVMainForm* NewMainForm(int32_t left, int32_t top, int32_t width, int32_t height) {
  auto* form = new TKVMainForm(nullptr);
  form->Left = left;
  form->Top = top;
  form->Width = width;
  form->Height = height;
  return form;
}

class FormTest : public LibraryTest {
 protected:
  static void SetUpTestSuite() {
    InitCommonControls();
    WindowLibraryInit();
  }
  void SetUp() override {
    LibraryTest::SetUp();
    if (!HintManager) HintManagerUnitInit();
  }
  // Links go idle before the application object goes, as at the program's end.
  void TearDown() override {
    SetHooksIdle();
    LibraryTest::TearDown();
  }

  // The start step, as the program runs it: the forms show.
  static void Start() {
    RunStartList();
    if (MainWindowControl) MainWindowControl->SetVisible(true);
  }
};

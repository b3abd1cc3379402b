// What the control tests share: the library's fixture, which puts the
// library-wide state back around every test, with a journal and small makers
// of controls with real windows.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "control.h"
#include "library_test.h"
#include "text_conv.h"

// Records what happened, in order, across hooks, handlers and events.
inline std::vector<std::string> controlJournal;

class ControlTest : public LibraryTest {
 protected:
  void SetUp() override {
    controlJournal.clear();
    LibraryTest::SetUp();
  }

  // A top-level control, as a form would be, without a window yet.
  static TControl* NewTopLevel() { return NewWindowedControl(nullptr, "Test", false); }

  // The same as a hidden popup at a given place: under Xvfb without a window
  // manager, Wine waits two seconds for every shown top-level window that is
  // hidden or destroyed, so tests show one only where visibility is the point.
  static TControl* NewPopup() {
    TControl* control = NewTopLevel();
    control->Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    control->Bounds = {10, 10, 210, 160};
    control->PositionGiven = 3;
    return control;
  }

  // A child control on a standard window class (or the library's own with null).
  static TControl* NewChild(TControl* parent, const char* className, uint32_t style) {
    TControl* child = NewWindowedControl(parent, className, false);
    child->IsControl = true;
    child->Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | style;
    return child;
  }
};

// The window's text as UTF-8, read the Unicode way as the program's texts go.
inline std::string WindowTextUtf8(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return ToUtf8(text);
}

// Library events that append a fixed word to the controlJournal.
inline void Note(void* word, TObj*) {
  controlJournal.push_back(static_cast<const char*>(word));
}
inline TOnEvent NoteEvent(const char* word) {
  return TOnEvent{Note, const_cast<char*>(word)};
}

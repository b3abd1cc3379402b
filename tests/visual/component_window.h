// What the component tests share: a shown form on the virtual desktop that
// components are placed on, pixels read back from their windows, and a probe
// that counts what arrives at an input point.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "component.h"
#include "control.h"
#include "control_kinds.h"
#include "event.h"

struct ArrivalProbe : TKVComponent {
  int count = 0;
  std::string last;
  void doArrive(TData& data, uint16_t) {
    ++count;
    last = ToString(data);
  }
};

class ComponentWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitCommonControls(); }

  void SetUp() override {
    form = NewForm(nullptr, "Components");
    form->Bounds = {100, 100, 400, 300};
    form->PositionGiven = 3;
    form->SetVisible(true);
    ASSERT_TRUE(form->MakeWindow());
    SetHooksWorking();
  }
  void TearDown() override {
    SetHooksIdle();
    if (form) form->Free();
  }

  // Paints what is pending now, as the loop would.
  static void Paint(TControl* control) { UpdateWindow(control->Handle); }

  static COLORREF Pixel(TControl* control, int x, int y) {
    HDC dc = GetDC(control->Handle);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(control->Handle, dc);
    return color;
  }

  // Arcs and lines may land a pixel off the ideal curve.
  static bool ColorNear(TControl* control, int x, int y, COLORREF color) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (Pixel(control, x + dx, y + dy) == color) return true;
      }
    }
    return false;
  }

  TControl* form = nullptr;
};

// TKVHintManager: the tooltips of the window components, one tooltip window per
// registered control, reached only through a record of seven operations; and
// the shared instance that start-up makes.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "control.h"
#include "font_rec.h"

// The system's TOOLINFOW in the layout every tooltip version reads. The
// headers' TOOLINFOW grows with the target Windows version; this one is the
// 44 bytes its size field announces.
struct TToolInfo {
  UINT Size;
  UINT Flags;
  HWND Window;
  UINT_PTR Id;
  RECT Rect;
  HINSTANCE Module;
  LPWSTR Text;
  LPARAM AppData;  // the manager keeps the tooltip window here
};
static_assert(sizeof(TToolInfo) == 44, "the 44-byte TOOLINFO");
static_assert(offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM) == sizeof(TToolInfo),
              "the system's TOOLINFO up to its application data");

// What a tool is known by outside its manager; 0 is no tool.
using THintId = uintptr_t;

// A hint manager as the components see it: seven operations, each a procedure
// with the manager it is bound to, so that another manager can stand in.
struct THintInterface {
  TEvent<THintId(HWND window)> AddTool;
  TEvent<void(THintId tool)> RemoveTool;
  TEvent<void(THintId tool, std::string_view text)> SetText;
  TEvent<void(THintId tool, int32_t icon, std::string_view title)> SetTitle;
  TEvent<void(THintId tool)> TrackOn;
  TEvent<void(THintId tool)> TrackOff;
  TEvent<void(THintId tool, int16_t x, int16_t y)> TrackMove;
};

class TKVHintManager {
 public:
  // Binds the seven operations to this manager; the fields start at their defaults.
  TKVHintManager();
  // Removes every tool still registered.
  ~TKVHintManager();
  TKVHintManager(const TKVHintManager&) = delete;
  TKVHintManager& operator=(const TKVHintManager&) = delete;

  // Makes a tooltip window owned by the control's window and registers the
  // control as its tool; the answer is the tool's TOOLINFO.
  THintId AddTool(HWND window);
  // Frees the tooltip window, its font and the record. A tool this manager
  // does not hold (0, or one already removed) is left alone here and below.
  void RemoveTool(THintId tool);
  void SetText(THintId tool, std::string_view text);
  void SetTitle(THintId tool, int32_t icon, std::string_view title);
  void TrackOn(THintId tool);
  void TrackOff(THintId tool);
  // Only while Tracking is on.
  void TrackMove(THintId tool, int16_t x, int16_t y);

  [[nodiscard]] int32_t ToolCount() const { return static_cast<int32_t>(Tools.size()); }

  THintInterface Interface;
  bool Rectangular = true;  // false: balloon tooltips
  uint32_t Color = 0xFF000000 | COLOR_INFOBK;
  int32_t InitialDelay = 500;   // ms before a tip shows
  int32_t AutoPopDelay = 5000;  // ms a tip stays
  int32_t Margin = 0;           // pixels on every side of the text
  bool Tracking = false;        // mouse moves reposition the tip
  TFontRec Font{"Tahoma", 8, 0, 0xFF000000 | COLOR_INFOTEXT, DEFAULT_CHARSET};

 private:
  struct TTool;
  [[nodiscard]] TTool* Find(THintId tool) const;
  [[nodiscard]] HWND CreateTipWindow(HWND owner) const;
  [[nodiscard]] HFONT CreateTipFont() const;
  static void SendToTip(TTool* tool, UINT message, WPARAM wParam, LPARAM lParam);

  std::vector<TTool*> Tools;
};

// The manager every window component registers with unless it is given another.
extern TKVHintManager* HintManager;

// The unit pair of start-up: after the common controls are initialised the
// manager is made with its defaults; at the end it goes, with any tool left.
void HintManagerUnitInit();
void HintManagerUnitFinish();

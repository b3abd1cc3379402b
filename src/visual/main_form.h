// TKVMainForm: the window component of a top-level form. The first one made
// also makes the application object the message loop runs on, and its
// closing ends the program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "bitmap.h"
#include "kv_win.h"

// An optional manager of forms; none in this program.
struct TKVFormManager {
  // Both are called with the form's control when the form joins.
  void (*AddForm)(TKVFormManager* manager, TControl* form) = nullptr;
  void (*WatchForm)(TKVFormManager* manager, TControl* form) = nullptr;
};

// What a form may follow: the interface of another window component.
using TControlInterface = TEvent<TControl*()>;

class TKVMainForm : public TKVWin {
 public:
  // parent: none for a top-level form.
  explicit TKVMainForm(TControl* parent);
  ~TKVMainForm() override;

  // Also the application window's text (the task-bar caption) when this form owns it.
  void SetCaption(std::string_view text);
  // 0 to 9; anything above changes nothing.
  void SetBorderStyle(uint32_t style);
  // The form only shows the icon: whoever gives it keeps it.
  void SetIcon(HICON icon);
  void HideFromTaskbar(bool hide);
  void JoinFormManager(TKVFormManager* manager);

  // Input point: saves the placement and closes the window, whatever KeepOpen says.
  void doClose(TData& data, uint16_t index);
  void CenterOnScreen();
  // The start-up action: onCreate, then the form shows as Visible says.
  void StartForm();

  void HandleMouseDown(TControl* sender, TMouseEventData& mouse) override;
  bool HandleMessage(MSG& msg, LRESULT& result) override;
  void HandleShow(TObj* sender) override;
  void Init() override;

  bool OwnsApplication = false;
  bool ShownOnce = false;
  TKVFormManager* FormManager = nullptr;
  TBitmap* Background = nullptr;  // owned; drawn at the top left corner
  TControlInterface* DockTarget = nullptr;
  int32_t DockLeft = 0;
  int32_t DockTop = 0;
  bool DragByClient = false;
  uint8_t AlphaBlend = 255;
  uint8_t WindowState = 0;  // at the first show: 0 normal, 1 minimised, 2 maximised
  TEvent<void(bool save)> PlacementHandler;
  // Empty: nowhere; "<file>.ini\<section>": that INI file beside the program;
  // anything else: the registry key HKCU\Software\<store>.
  std::string PlacementStore;
  bool UseClientSize = false;
  TEvent<void()> PositionHandler;
  TKV_Event KeepOpen;  // data input: non-zero keeps the window on the close box
  TKV_Event onActivate;
  TKV_Event onDeactivate;
  TKV_Event onCreate;
  TKV_Event onClose;

 private:
  // The application object while this form owns it and it still exists.
  [[nodiscard]] TControl* OwnedApp() const;
  // True when the window is to stay open.
  bool CloseProtocol(bool userRequest);
  void CloseChildForms();
  void FollowDockTarget();
  void PostToFormsList();
  void PaintBackground(TControl* sender, HDC dc);
  void PlaceNowhere(bool save);
  void PlaceInIni(bool save);
  void PlaceInRegistry(bool save);

  // The window this form put into FormsList, taken out by that same handle.
  HWND ListedWindow = nullptr;
};

// The program's icon resource, loaded shared: the system keeps it, and the
// windows that show it never destroy it.
[[nodiscard]] HICON LoadProgramIcon(const char* name);

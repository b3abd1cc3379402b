// TKVWin: the base of every component that owns a window control. It keeps
// the properties all of them share, makes and configures the control in a
// fixed order, and turns the control's notifications into output events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "component.h"
#include "control.h"
#include "event.h"
#include "font_rec.h"
#include "hint_manager.h"

// An optional outside manager of window components; none in this program.
struct TKVManager {
  // Called with the control and the two parameters when a component joins.
  void (*Register)(TKVManager* manager, TControl* control, int32_t param1,
                   int32_t param2) = nullptr;
  void (*Unregister)(TKVManager* manager, TControl* control) = nullptr;
  // A record without registration is shared by count and freed at 0.
  int32_t RefCount = 0;
};

// Makes the optional second control beside a component; none in this program.
using TCompanionFactory = TControl* (*)(TControl* parent, int32_t param1, int32_t param2,
                                        int32_t gap, uint32_t color);

class TKVWin : public TKVComponent {
 public:
  // parent: the main form's control, or none for the main form itself.
  explicit TKVWin(TControl* parent);
  ~TKVWin() override;
  TKVWin(const TKVWin&) = delete;
  TKVWin& operator=(const TKVWin&) = delete;

  // The control's notifications, each firing its output event.
  virtual void HandleKeyDown(TControl* sender, uint32_t& key, uint32_t shift);
  virtual void HandleKeyUp(TControl* sender, uint32_t& key, uint32_t shift);
  virtual void HandleChar(TControl* sender, wchar_t& ch, uint32_t shift);
  virtual void HandleMouseDown(TControl* sender, TMouseEventData& mouse);
  virtual void HandleMouseMove(TControl* sender, TMouseEventData& mouse);
  virtual void HandleMouseEnter(TObj* sender);
  virtual void HandleMouseLeave(TObj* sender);
  virtual void HandleMouseUp(TControl* sender, TMouseEventData& mouse);
  virtual void HandleMouseWheel(TControl* sender, TMouseEventData& mouse);
  // Every message of the control; true when it was handled.
  virtual bool HandleMessage(MSG& msg, LRESULT& result);
  // The control announces its own destruction: what needs the control
  // (hint, manager) is let go now, and Control is forgotten.
  virtual void HandleDestroy(TObj* sender);
  virtual void HandleResize(TObj* sender);
  virtual void HandleShow(TObj* sender);
  virtual void HandleHide(TObj* sender);
  // A derived class makes Control, then calls this base Init.
  virtual void Init();
  // Calling the getter it points at yields Control.
  virtual TEvent<TControl*()>* GetControlInterface();

  // nullptr: register with the shared HintManager when Hint is not empty.
  void JoinHint(THintInterface* manager);
  void JoinManager(TKVManager* manager);

  TEvent<TControl*()> ControlGetter;
  bool ControlDestroyed = false;
  TControl* Parent = nullptr;
  TControl* Companion = nullptr;
  TOnMessage SavedMessageHandler;
  TMouseEventData MouseData;
  int32_t KeyResult = -1;
  THintId HintId = 0;
  THintInterface* HintManager = nullptr;
  TKVManager* Manager = nullptr;
  TKV_Event onMouseEnter;
  TKV_Event onMouseLeave;
  TControl* Control = nullptr;  // owned
  std::string DockGroup;
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  uint8_t Align = 0;
  int32_t TabOrder = 0;  // > 0 a place in the tab sequence, 0 a tab stop, < 0 none
  uint32_t Color = 0;
  uint8_t Ctl3D = 2;  // 0 sunken edge, 1 flat with a thin border, 2 leave as made
  std::string Hint;
  TFontRec Font;
  bool ParentFont = false;
  bool Transparent = false;
  bool Visible = true;
  bool Enabled = true;
  int32_t Cursor = 0;  // a system cursor identifier; 0 the class cursor
  bool MouseCapture = false;
  bool Flat = false;
  bool KeyPreview = true;
  TCompanionFactory CompanionFactory = nullptr;
  int32_t CompanionGap = 0;
  uint32_t CompanionColor = 0;
  int32_t CompanionParam1 = 0;
  int32_t CompanionParam2 = 0;
  uint8_t EdgeStyle = 0;
  int32_t ManagerParam1 = 0;
  int32_t ManagerParam2 = 0;
  TKV_Event onKeyDown;
  TKV_Event onKeyUp;
  TKV_Event onChar;
  TKV_Event onMouseDown;
  TKV_Event onMouseMove;
  TKV_Event onMouseUp;
  TKV_Event onMouseWheel;
  TKV_Event onSetFocus;
  TKV_Event onKillFocus;
  TKV_Event onDblClick;
  TKV_Event onResize;
  TKV_Event onShow;
  TKV_Event onHide;
  TKV_Event onMove;
  TKV_Event AdjustWidth;   // data input
  TKV_Event AdjustHeight;  // data input

 private:
  [[nodiscard]] TControl* CurrentControl() { return Control; }
  void HandleDblClick(TControl* sender, TMouseEventData& mouse);
  // The control's key handlers: the parent form's relay first, then ours.
  void KeyDownRelay(TControl* sender, uint32_t& key, uint32_t shift);
  void KeyUpRelay(TControl* sender, uint32_t& key, uint32_t shift);
  void CharRelay(TControl* sender, wchar_t& ch, uint32_t shift);
  template <class Key>
  void RelayKey(TEvent<void(TControl*, Key&, uint32_t)> TControl::*parentHandler,
                void (TKVWin::*handler)(TControl*, Key&, uint32_t), TControl* sender, Key& key,
                uint32_t shift);
  void AdjustSize(WINDOWPOS& pos);
  void ApplyFont();
  void ApplyTabOrder();
  void HookNotifications();
  void MakeCompanion();
  void ApplyEdgeStyle();
  void RegisterHint(THintInterface* manager);
  // Only while the control lives.
  void RemoveHint();
  void LeaveManager();
  // Takes back every hook of the control that leads here.
  void Unhook();
};

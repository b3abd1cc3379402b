#include "label.h"

#include "control_kinds.h"
#include "control_props.h"
#include "graphic_tool.h"

TKVLabel::TKVLabel(TControl* parent) : TKVWin(parent) {
  Control = NewLabel(parent, "");
  SetOnClick(Control, MakeEvent<&TKVLabel::HandleClick>(this));
}

void TKVLabel::SetAutoSize(bool on) {
  if (Control) ::SetAutoSize(Control, on);
}

void TKVLabel::SetAlignment(int32_t alignment) {
  if (Control) SetTextAlign(Control, alignment);
}

void TKVLabel::HandleMouseEnter(TObj* sender) {
  TKVWin::HandleMouseEnter(sender);
  if (!Control) return;
  if (HoverColor != 0) SetFontColor(Control, HoverColor);
  if (HoverUnderline) SetUnderline(true);
}

void TKVLabel::HandleMouseLeave(TObj* sender) {
  TKVWin::HandleMouseLeave(sender);
  if (!Control) return;
  if (HoverColor != 0) SetFontColor(Control, Font.Color);
  if (HoverUnderline) SetUnderline(false);
}

void TKVLabel::Init() {
  TKVWin::Init();
  if (!Control) return;
  SetText(Control, Caption);
  if (HoverColor != 0 || HoverUnderline) {
    SetOnMouseEnter(Control, MakeEvent<&TKVLabel::HandleMouseEnter>(this));
    SetOnMouseLeave(Control, MakeEvent<&TKVLabel::HandleMouseLeave>(this));
  }
}

void TKVLabel::HandleClick(TObj*) {
  FireNull(onClick);
}

void TKVLabel::SetUnderline(bool on) {
  const uint8_t style = Control->GetFont()->FontStyle();
  SetFontStyle(Control, on ? (style | kFontUnderline) : (style & ~kFontUnderline));
}

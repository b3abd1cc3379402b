// The control kinds, the bitmap button's own message handler and drawing, and
// the form's button roles and keyboard navigation switch.
#include "control_kinds.h"

#include <algorithm>
#include <string>

#include "app.h"
#include "canvas.h"
#include "control_props.h"
#include "dc_scope.h"
#include "graphic_tool.h"
#include "layout.h"
#include "wide_limit.h"

namespace {

constexpr uint16_t kNoCode = 0xFFFF;
constexpr uint32_t kAllNavKeys = 0xF;  // Tab, Left/Right, Up/Down, Page Up/Down
constexpr uint32_t kButtonTypeMask = 0xF;

// child, visible, tab stop, BS_PUSHLIKE
constexpr uint32_t kButtonStyle = 0x50011000;
// child, visible, tab stop, BS_OWNERDRAW
constexpr uint32_t kBitBtnStyle = 0x5001000B;
// child, visible, SS_NOTIFY, SS_NOPREFIX, SS_LEFTNOWORDWRAP
constexpr uint32_t kLabelStyle = 0x5000018C;
constexpr int32_t kPaintboxSize = 40;
constexpr int32_t kBitBtnMargin = 3;
constexpr int kCaptionBufferSize = 256;  // UTF-16 units, the terminator included

constexpr TCommandTable kButtonTable{{BN_CLICKED, BN_SETFOCUS, BN_KILLFOCUS, BN_DBLCLK, kNoCode},
                                     0,
                                     {BS_LEFT, BS_CENTER, BS_RIGHT},
                                     0};
// SS_LEFTNOWORDWRAP is the label's left; the other type bits would turn the
// static into something that shows no text.
constexpr TCommandTable kStaticTable{{STN_CLICKED, STN_DBLCLK, STN_ENABLE, STN_DISABLE, kNoCode},
                                     0,
                                     {SS_LEFTNOWORDWRAP, SS_CENTER, SS_RIGHT},
                                     0x10};

// Identifiers of the child controls, one sequence for the whole program.
int32_t controlCounter = 0;

// The control whose tab counter and first focus a new child joins.
TControl* TabOwner(TControl* parent) {
  TControl* form = parent->ParentForm();
  return form ? form : parent;
}

void CopyCommandTable(TControl* control, const TCommandTable& table) {
  std::copy(std::begin(table.NotifyCodes), std::end(table.NotifyCodes), control->NotifyCodes);
  control->ColorMessage = table.ColorMessage;
  std::copy(std::begin(table.TextAlignStyles), std::end(table.TextAlignStyles),
            control->TextAlignStyles);
  control->TextAlignExcluded = table.TextAlignExcluded;
}

void SetGlyph(TControl* button, HANDLE glyph, int32_t count) {
  button->GlyphCount = std::max(count, 1);
  if (!glyph) return;
  if (button->BitBtnOptions & kBitBtnImageList) {
    button->GlyphList = static_cast<HIMAGELIST>(glyph);
    int width = 0;
    int height = 0;
    if (ImageList_GetIconSize(button->GlyphList, &width, &height))
      button->GlyphSize = {width, height};
    return;
  }
  button->GlyphBitmap = static_cast<HBITMAP>(glyph);
  BITMAP info{};
  if (GetObjectW(button->GlyphBitmap, sizeof info, &info)) {
    button->GlyphSize = {info.bmWidth / button->GlyphCount, info.bmHeight};
  }
}

// 0 normal, 1 pressed, 2 disabled, 3 focused, 4 hot.
int DrawingState(const TControl* button, UINT itemState) {
  const bool pressed =
      (button->BitBtnOptions & kBitBtnToggle) ? button->Down : (itemState & ODS_SELECTED) != 0;
  int state = pressed ? 1 : 0;
  if (itemState & ODS_DISABLED) state = 2;
  if (state == 0 && (itemState & ODS_FOCUS)) state = 3;
  if ((state == 0 || state == 3) && button->Flat && button->MouseInside) state = 4;
  return state;
}

// The picture for the state when the glyph has one, else the first.
void DrawGlyph(TControl* button, HDC dc, int x, int y, int state) {
  const SIZE size = button->GlyphSize;
  const int index = state < button->GlyphCount ? state : 0;
  if (button->GlyphList) {
    ImageList_Draw(button->GlyphList, index, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  if (!button->GlyphBitmap || size.cx <= 0 || size.cy <= 0) return;
  HDC memory = CreateCompatibleDC(dc);
  if (!memory) return;
  {
    TSelectedObject bitmap(memory, button->GlyphBitmap);
    BitBlt(dc, x, y, size.cx, size.cy, memory, index * size.cx, 0, SRCCOPY);
  }
  DeleteDC(memory);
}

// Frame, glyph placed by the layout, the window text in the rest, focus rectangle.
void DrawBitBtnItself(TControl* button, const DRAWITEMSTRUCT& item, int state) {
  const HDC dc = item.hDC;
  RECT rect = item.rcItem;
  if (button->Flat) {
    FillRect(dc, &rect, button->GetBackBrush());
    if (state == 1 || state == 4) {
      DrawEdge(dc, &rect, state == 1 ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
  } else {
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (state == 1 ? DFCS_PUSHED : 0));
  }
  RECT content = rect;
  InflateRect(&content, -kBitBtnMargin, -kBitBtnMargin);
  if (state == 1) OffsetRect(&content, button->PressedOffset.x, button->PressedOffset.y);

  const SIZE glyph = button->GlyphSize;
  const int centreX = (content.left + content.right - glyph.cx) / 2;
  const int centreY = (content.top + content.bottom - glyph.cy) / 2;
  RECT text = content;
  switch (button->GlyphLayout) {
    case 1:
      DrawGlyph(button, dc, content.right - glyph.cx, centreY, state);
      text.right -= glyph.cx;
      break;
    case 2:
      DrawGlyph(button, dc, centreX, content.top, state);
      text.top += glyph.cy;
      break;
    case 3:
      DrawGlyph(button, dc, centreX, content.bottom - glyph.cy, state);
      text.bottom -= glyph.cy;
      break;
    default:
      DrawGlyph(button, dc, content.left, centreY, state);
      text.left += glyph.cx;
  }

  // The window text, which may differ from Caption.
  wchar_t buffer[kCaptionBufferSize];
  const auto length =
      static_cast<size_t>(GetWindowTextW(item.hwndItem, buffer, kCaptionBufferSize));
  // A long text is cut by the buffer, maybe between the two halves of a character.
  const std::wstring_view caption = CutToUnits({buffer, length}, length);
  TSelectedObject font(dc,
                       reinterpret_cast<HGDIOBJ>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, state == 2 ? GetSysColor(COLOR_GRAYTEXT) : ResolveColor(button->TextColor));
  DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &text,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (state == 3) DrawFocusRect(dc, &content);
}

LRESULT DrawBitBtn(TControl* button, const DRAWITEMSTRUCT& item) {
  const int state = DrawingState(button, item.itemState);
  const HDC saved = button->PaintDC;
  // The draw event paints through the control's canvas, on the item's DC.
  button->PaintDC = item.hDC;
  if (!button->OnBitBtnDraw(button, state)) DrawBitBtnItself(button, item, state);
  // The item's DC belongs to the paint that lent it: the canvas lets it go
  // while it is still known as the paint DC, so it is not released.
  if (button->Canvas) button->Canvas->SetDC(nullptr);
  button->PaintDC = saved;
  return TRUE;
}

// BS_DEFPUSHBUTTON is bit 0 of the button type: only a push button may take
// it, or an owner-drawn button would turn into another kind.
void SetDefaultStyle(TControl* button, bool on) {
  const uint32_t type = button->Style & kButtonTypeMask;
  if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return;
  SetStyle(button, on ? (button->Style | BS_DEFPUSHBUTTON) : (button->Style & ~BS_DEFPUSHBUTTON));
}

TControl*& RoleHolder(TControl* form, bool isDefault) {
  return isDefault ? form->DefaultButton : form->CancelButton;
}

void SetRoleFlag(TControl* button, bool isDefault, bool on) {
  (isDefault ? button->IsDefault : button->IsCancel) = on;
  if (isDefault) SetDefaultStyle(button, on);
}

// The procedure the roles replaced comes back with the last role.
void DropRole(TControl* button, TControl* form, bool isDefault) {
  SetRoleFlag(button, isDefault, false);
  if (!form) return;
  RoleHolder(form, isDefault) = nullptr;
  if (!form->DefaultButton && !form->CancelButton && form->DialogKeyProc == ButtonRoleKey) {
    form->DialogKeyProc = form->SavedDialogKeyProc;
    form->SavedDialogKeyProc = nullptr;
  }
}

void TakeRole(TControl* button, TControl* form, bool isDefault) {
  if (form) {
    TControl* previous = RoleHolder(form, isDefault);
    if (previous && previous != button) DropRole(previous, form, isDefault);
    if (RoleHolder(form, !isDefault) == button) DropRole(button, form, !isDefault);
    // Saved once, by the first role: a role added later must not save ours.
    if (form->DialogKeyProc != ButtonRoleKey) {
      form->SavedDialogKeyProc = form->DialogKeyProc;
      form->DialogKeyProc = ButtonRoleKey;
    }
    RoleHolder(form, isDefault) = button;
  }
  SetRoleFlag(button, !isDefault, false);
  SetRoleFlag(button, isDefault, true);
}

}  // namespace

TControl* NewStandardControl(TControl* parent, const char* className, uint32_t style,
                             const TCommandTable* table, bool ctl3d) {
  TControl* control = NewWindowedControl(parent, className, ctl3d);
  if (table) CopyCommandTable(control, *table);
  control->IsControl = true;
  control->Style = style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  control->Visible = (style & WS_VISIBLE) != 0;
  control->TabStop = (style & WS_TABSTOP) != 0;
  TControl* owner = parent ? TabOwner(parent) : nullptr;
  if (owner) control->TabOrder = ++owner->TabCounter;
  if (control->Ctl3DState) {
    control->Style &= ~WS_BORDER;
    control->ExStyle |= WS_EX_CLIENTEDGE;
  }
  // The first tab stop gets the focus when the form is activated.
  if (control->TabStop && owner && !owner->FocusedControl) owner->FocusedControl = control;
  control->NavKeys = kAllNavKeys;
  control->ControlID = ++controlCounter;
  control->AddMessageHandler(StandardControlHandler, false);
  return control;
}

TControl* NewForm(TControl* parent, std::string_view caption) {
  TControl* form = NewWindowedControl(parent, "Form", true);
  form->ClassStyle |= CS_DBLCLKS;
  form->AddMessageHandler(FormEraseHandler, false);
  form->AddMessageHandler(FormHandler, false);
  form->Caption = caption;
  form->SizeGrip = true;
  form->IsForm = true;
  return form;
}

TControl* NewButton(TControl* parent, std::string_view caption) {
  TControl* button = NewStandardControl(parent, "BUTTON", kButtonStyle, &kButtonTable, true);
  button->Caption = caption;
  return button;
}

TControl* NewBitBtn(TControl* parent, std::string_view caption, uint32_t options,
                    int32_t glyphCount, HANDLE glyph, uint8_t layout) {
  TControl* button = NewStandardControl(parent, "BUTTON", kBitBtnStyle, &kButtonTable, false);
  button->Caption = caption;
  button->BitBtnOptions = options;
  SetGlyph(button, glyph, glyphCount);
  button->GlyphLayout = layout;
  button->AddMessageHandler(BitBtnHandler, false);
  // Attached once however many bitmap buttons the parent holds.
  if (parent) parent->AddMessageHandler(DrawItemReflectHandler, false);
  return button;
}

TControl* NewLabel(TControl* parent, std::string_view caption) {
  TControl* label = NewStandardControl(parent, "STATIC", kLabelStyle, &kStaticTable, false);
  label->Caption = caption;
  return label;
}

TControl* NewPaintbox(TControl* parent) {
  TControl* box = NewLabel(parent, "");
  box->Bounds.right = box->Bounds.left + kPaintboxSize;
  box->Bounds.bottom = box->Bounds.top + kPaintboxSize;
  return box;
}

bool BitBtnHandler(TControl* control, MSG& msg, LRESULT& result) {
  switch (msg.message) {
    case WM_LBUTTONDBLCLK:
      // A fast second click is a second press, not a double click.
      result = SendMessageW(msg.hwnd, WM_LBUTTONDOWN, msg.wParam, msg.lParam);
      return true;
    case RM_DRAWITEM:
      // lParam: the DRAWITEMSTRUCT of the parent's WM_DRAWITEM.
      if (!msg.lParam) return false;
      result = DrawBitBtn(control, *reinterpret_cast<const DRAWITEMSTRUCT*>(msg.lParam));
      return true;
    default:
      return false;
  }
}

void SetFlat(TControl* control, bool on) {
  control->Flat = on;
  control->MouseInside = false;
  control->AddMessageHandler(MouseEnterLeaveHandler, false);
  control->Invalidate();
}

void SetDefaultButton(TControl* button, uint32_t key, bool on) {
  if (key != VK_RETURN && key != VK_ESCAPE) return;
  const bool isDefault = key == VK_RETURN;
  TControl* form = button->ParentForm();
  if (on) {
    TakeRole(button, form, isDefault);
    return;
  }
  // Only the holder of the role gives it up: another button turning its own
  // role off must not take this one's, nor restore what it never saved.
  if (form && RoleHolder(form, isDefault) != button) return;
  DropRole(button, form, isDefault);
}

bool ButtonRoleKey(TControl* control, uint32_t key, bool notKeyDown) {
  TControl* form = control->ParentForm();
  if (!form) return false;
  TControl* button = key == VK_RETURN   ? form->DefaultButton
                     : key == VK_ESCAPE ? form->CancelButton
                                        : nullptr;
  if (button && button->Enabled && button->Visible) {
    // The key's release and character are taken too, as navigation does.
    if (!notKeyDown) button->Click();
    return true;
  }
  return form->SavedDialogKeyProc && form->SavedDialogKeyProc(control, key, notKeyDown);
}

void SetTabNavigation(TControl* form) {
  // Under button roles, navigation is what their procedure passes keys on to.
  if (form->DialogKeyProc == ButtonRoleKey) {
    form->SavedDialogKeyProc = NavigateKey;
  } else {
    form->DialogKeyProc = NavigateKey;
  }
}

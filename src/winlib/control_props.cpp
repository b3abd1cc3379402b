// The property operations of a control: store, and apply to the window when
// there is one.
#include "control_props.h"

#include "canvas.h"
#include "graphic_tool.h"
#include "text_conv.h"

namespace {

const auto kNoIcon = reinterpret_cast<HICON>(-1);
// No size, no move, no z-order, no activation, frame changed: the new style
// takes effect on the frame as well.
constexpr UINT kApplyStyleFlags = 0x37;
constexpr uint8_t kLastWindowState = 2;
constexpr int32_t kTextMargin = 1;  // around the caption of an auto-sized control

enum : uint8_t {
  kAlignLeft = 1,
  kAlignTop = 2,
  kAlignRight = 3,
  kAlignBottom = 4,
  kAlignClient = 5
};

// Visibility and enabling have setters of their own; a style change never
// hides, shows, enables or disables the window behind their backs.
uint32_t KeepWindowState(HWND window, uint32_t style) {
  constexpr uint32_t kOwnSetters = WS_VISIBLE | WS_DISABLED;
  const auto current = static_cast<uint32_t>(GetWindowLongW(window, GWL_STYLE));
  return (style & ~kOwnSetters) | (current & kOwnSetters);
}

void ApplyStyle(TControl* control, int index, uint32_t value) {
  if (!control->Handle) return;
  SetWindowLongW(control->Handle, index, static_cast<LONG>(value));
  SetWindowPos(control->Handle, nullptr, 0, 0, 0, 0, kApplyStyleFlags);
  control->Invalidate();
}

// What the frame adds to the client area: measured on the window while it
// exists, else as the styles would make it.
SIZE FrameSize(TControl* control) {
  RECT window;
  RECT client;
  if (control->Handle && !IsIconic(control->Handle) && GetWindowRect(control->Handle, &window) &&
      GetClientRect(control->Handle, &client)) {
    return {(window.right - window.left) - client.right,
            (window.bottom - window.top) - client.bottom};
  }
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, control->Style, FALSE, control->ExStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

// The vertical resolution of the screen, read once.
int32_t ScreenPixelsPerInchY() {
  static int32_t pixelsPerInch = 0;
  if (pixelsPerInch) return pixelsPerInch;
  HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return pixelsPerInch;
}

// The control owns only the copy its icon inheritance made for it: the
// application object's icon is loaded shared, and an icon given through
// SetIcon belongs to whoever gave it (the main form's icon goes to two windows).
bool OwnsIcon(const TControl* control) {
  return !control->IconShared && !control->IsApp;
}

// The auto-size procedure: the caption's size plus a small margin, leaving
// alone what the control's alignment decides.
void SizeToText(TControl* control) {
  if (control->Align == kAlignClient) return;
  const std::string& caption = control->Caption;
  TCanvas* canvas = control->GetCanvas();
  // An empty caption still has the height of a line.
  SIZE text = canvas->MeasureText(caption.empty() ? std::string_view(" ") : caption);
  if (caption.empty()) text.cx = 0;
  // One character of room: a standard control may lay its glyphs out a few
  // pixels wider than the measured extent (Wine's static text does, by about
  // 4 pixels on the title), and the last letter must not be cut off.
  const int32_t slack = caption.empty() ? 0 : canvas->MeasureText("0").cx;
  int32_t width = text.cx + slack + 2 * kTextMargin;
  int32_t height = text.cy + 2 * kTextMargin;
  if (control->Align == kAlignLeft || control->Align == kAlignRight) height = 0;
  if (control->Align == kAlignTop || control->Align == kAlignBottom) width = 0;
  SetClientSize(control, width, height);
}

using TSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Looked up at run time: a system without it keeps every window opaque.
TSetLayeredWindowAttributes FindSetLayeredWindowAttributes() {
  HMODULE user = GetModuleHandleW(L"User32");
  FARPROC found = user ? GetProcAddress(user, "SetLayeredWindowAttributes") : nullptr;
  return reinterpret_cast<TSetLayeredWindowAttributes>(reinterpret_cast<void*>(found));
}

}  // namespace

void SetText(TControl* control, std::string_view text) {
  control->Caption.assign(text);
  if (control->Handle) {
    SetWindowTextW(control->Handle, ToWstr(control->Caption).c_str());
    control->Invalidate();
  }
  // Sized without a window too: measuring needs none.
  if (control->AutoSizeProc) control->AutoSizeProc(control);
}

void SetStyle(TControl* control, uint32_t value) {
  if (value == control->Style) return;
  control->Style = value;
  if (control->Handle) ApplyStyle(control, GWL_STYLE, KeepWindowState(control->Handle, value));
}

void SetExStyle(TControl* control, uint32_t value) {
  if (value == control->ExStyle) return;
  control->ExStyle = value;
  ApplyStyle(control, GWL_EXSTYLE, value);
}

RECT BoundsRect(TControl* control) {
  HWND window = control->Handle;
  RECT rect;
  // A minimized window's rectangle is its icon's, not its bounds.
  if (window && !IsIconic(window) && GetWindowRect(window, &rect)) {
    if (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) {
      MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    }
    control->Bounds = rect;
  }
  return control->Bounds;
}

int32_t Left(TControl* control) {
  return BoundsRect(control).left;
}

int32_t Top(TControl* control) {
  return BoundsRect(control).top;
}

int32_t Width(TControl* control) {
  const RECT bounds = BoundsRect(control);
  return bounds.right - bounds.left;
}

int32_t Height(TControl* control) {
  const RECT bounds = BoundsRect(control);
  return bounds.bottom - bounds.top;
}

void SetLeft(TControl* control, int32_t left) {
  RECT bounds = BoundsRect(control);
  OffsetRect(&bounds, left - bounds.left, 0);
  control->PositionGiven |= 1;
  control->SetBoundsRect(bounds);
}

void SetTop(TControl* control, int32_t top) {
  RECT bounds = BoundsRect(control);
  OffsetRect(&bounds, 0, top - bounds.top);
  control->PositionGiven |= 2;
  control->SetBoundsRect(bounds);
}

void SetWidth(TControl* control, int32_t width) {
  RECT bounds = BoundsRect(control);
  bounds.right = bounds.left + width;
  control->SetBoundsRect(bounds);
}

void SetHeight(TControl* control, int32_t height) {
  RECT bounds = BoundsRect(control);
  bounds.bottom = bounds.top + height;
  control->SetBoundsRect(bounds);
}

// One move for both coordinates.
void SetPosition(TControl* control, int32_t x, int32_t y) {
  RECT bounds = BoundsRect(control);
  OffsetRect(&bounds, x - bounds.left, y - bounds.top);
  control->PositionGiven |= 3;
  control->SetBoundsRect(bounds);
}

void SetSize(TControl* control, int32_t width, int32_t height) {
  if (width > 0) SetWidth(control, width);
  if (height > 0) SetHeight(control, height);
}

int32_t ClientWidth(TControl* control) {
  RECT client;
  if (control->Handle && GetClientRect(control->Handle, &client)) return client.right;
  return Width(control) - FrameSize(control).cx;
}

int32_t ClientHeight(TControl* control) {
  RECT client;
  if (control->Handle && GetClientRect(control->Handle, &client)) {
    return client.bottom - control->StatusHeight;
  }
  return Height(control) - FrameSize(control).cy - control->StatusHeight;
}

void SetClientSize(TControl* control, int32_t width, int32_t height) {
  const SIZE frame = FrameSize(control);
  if (width > 0) SetWidth(control, width + frame.cx);
  if (height > 0) SetHeight(control, height + control->StatusHeight + frame.cy);
}

void SetColor(TControl* control, uint32_t color) {
  if (control->Handle && control->ColorMessage) {
    SendMessageW(control->Handle, control->ColorMessage, 0, ResolveColor(color));
  }
  control->Color = color;
  if (control->BackBrush) DeleteObject(control->BackBrush);
  control->BackBrush = nullptr;
  control->GetBrush()->SetColor(color);
  control->Invalidate();
}

void SetCtl3D(TControl* control, bool on) {
  if (on == control->Ctl3DState) return;
  control->Ctl3DState = on;
  if (on) {
    SetExStyle(control, control->ExStyle | WS_EX_CLIENTEDGE);
    SetStyle(control, control->Style & ~WS_BORDER);
  } else {
    SetExStyle(control, control->ExStyle & ~WS_EX_CLIENTEDGE);
    SetStyle(control, control->Style | WS_BORDER);
  }
}

void SetEnabled(TControl* control, bool on) {
  control->Enabled = on;
  control->Style = on ? (control->Style & ~WS_DISABLED) : (control->Style | WS_DISABLED);
  if (control->Handle) EnableWindow(control->Handle, on);
}

void SetCursor(TControl* control, HINSTANCE module, const char* identifier) {
  control->SetCursor(module ? LoadCursorOf(module, identifier) : SystemCursor(identifier));
}

void SetIcon(TControl* control, HICON icon) {
  if (icon == control->Icon) return;
  const HICON old = control->Icon == kNoIcon ? nullptr : control->Icon;
  const bool ownedOld = OwnsIcon(control);
  control->Icon = icon;
  const bool given = icon && icon != kNoIcon;
  control->IconShared = given;
  HICON handedBack = old;
  if (control->Handle) {
    const auto sent = reinterpret_cast<LPARAM>(given ? icon : nullptr);
    handedBack = reinterpret_cast<HICON>(SendMessageW(control->Handle, WM_SETICON, ICON_BIG, sent));
  }
  // Whatever else the window gave back was never ours to destroy.
  if (ownedOld && old && handedBack == old && old != icon) DestroyIcon(old);
}

void SetWindowState(TControl* control, uint8_t state) {
  if (state > kLastWindowState || state == control->WindowStateWanted) return;
  control->WindowStateWanted = state;
  constexpr int kShowCommands[] = {SW_SHOWNOACTIVATE, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};
  if (control->Handle) ShowWindow(control->Handle, kShowCommands[state]);
}

void SetAlphaBlend(TControl* control, uint8_t alpha) {
  if (alpha == control->AlphaValue) return;
  control->AlphaValue = alpha;
  const TSetLayeredWindowAttributes setLayered = FindSetLayeredWindowAttributes();
  if (!setLayered) return;
  if (alpha == 255) {
    SetExStyle(control, control->ExStyle & ~WS_EX_LAYERED);
    return;
  }
  SetExStyle(control, control->ExStyle | WS_EX_LAYERED);
  // A layered window shows nothing until its attributes are set, so the
  // window is made now rather than left without them.
  if (HWND window = control->EnsureHandle()) setLayered(window, 0, alpha, LWA_ALPHA);
}

void SetTextAlign(TControl* control, int32_t align) {
  if (align < 0 || align > 2) return;
  const uint32_t* styles = control->TextAlignStyles;
  const uint32_t cleared = styles[0] | styles[1] | styles[2] | control->TextAlignExcluded;
  SetStyle(control, (control->Style & ~cleared) | styles[align]);
}

void SetAutoSize(TControl* control, bool on) {
  control->AutoSizeProc = on ? SizeToText : nullptr;
  if (on) SizeToText(control);
}

void SetTabOrder(TControl* control, int32_t order) {
  if (order == control->TabOrder) return;
  if (TControl* parent = control->Parent) {
    for (int32_t i = 0; i < parent->Children->Count; ++i) {
      auto* sibling = static_cast<TControl*>(parent->Children->Items[i]);
      if (sibling != control && sibling->TabOrder >= order) ++sibling->TabOrder;
    }
  }
  control->TabOrder = order;
}

void SetFontColor(TControl* control, uint32_t color) {
  control->GetFont()->SetColor(color);
}

void SetFontStyle(TControl* control, uint8_t style) {
  constexpr uint8_t kStyleBits = kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut;
  control->GetFont()->SetFontStyle(style & kStyleBits);
}

void SetFontName(TControl* control, std::string_view name) {
  control->GetFont()->SetFontName(name);
}

void SetFontHeight(TControl* control, int32_t height) {
  control->GetFont()->SetFontHeight(height);
}

void SetFontCharset(TControl* control, uint8_t charset) {
  control->GetFont()->SetFontCharset(charset);
}

int32_t PointsToHeight(int32_t points) {
  return -((points * ScreenPixelsPerInchY() + 36) / 72);
}

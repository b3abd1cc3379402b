// A form's status bar: a common-controls status window made by the first text,
// in simple mode until the first part text arrives.
#include <string>

#include "control_kinds.h"
#include "control_props.h"
#include "text_conv.h"

namespace {

constexpr int32_t kSimpleIndex = 255;  // SB_SIMPLEID: the simple-mode text
// SB_SETPARTS takes at most 256 edges; parts 0..254 leave 255 to simple mode.
constexpr int32_t kMaxParts = 256;
constexpr uint8_t kAlignBottom = 4;
constexpr uint16_t kNoCode = 0xFFFF;
// STATUSCLASSNAMEW; like every class name of ours it is kept as UTF-8, and the
// bar built on it is a Unicode window.
constexpr char kStatusBarClass[] = "msctls_statusbar32";

// child, visible, clip siblings and children; with SBARS_SIZEGRIP or CCS_BOTTOM
constexpr uint32_t kBarStyle = 0x56000000;
constexpr uint32_t kGrip = SBARS_SIZEGRIP;
constexpr uint32_t kNoGrip = CCS_BOTTOM;

// The bar notifies through WM_NOTIFY, never WM_COMMAND.
constexpr TCommandTable kStatusBarTable{
    {kNoCode, kNoCode, kNoCode, kNoCode, kNoCode}, SB_SETBKCOLOR, {0, 0, 0}, 0};

LRESULT SendToBar(TControl* form, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(form->StatusBar->Handle, message, wParam, lParam);
}

// The grip sizes the form: on a form without a sizing frame it would size a
// window that is meant to keep its size, and leave the bar behind.
uint32_t GripBits(TControl* form) {
  const bool sizable = GetWindowLongW(form->Handle, GWL_STYLE) & WS_THICKFRAME;
  return form->SizeGrip && sizable ? kGrip : kNoGrip;
}

// Only the form hears of its new size; the bar docks itself to the bottom
// when it is told.
bool FollowForm(TControl* form, MSG& msg, LRESULT&) {
  TControl* bar = form->StatusBar;
  if (!bar || !bar->Handle) return false;
  if (msg.message == WM_SIZE) {
    SendMessageW(bar->Handle, WM_SIZE, msg.wParam, msg.lParam);
  } else if (msg.message == WM_STYLECHANGED && msg.wParam == static_cast<WPARAM>(GWL_STYLE)) {
    SetStyle(bar, (bar->Style & ~(kGrip | kNoGrip)) | GripBits(form));
  }
  return false;
}

// The form grows by the bar's height, so the area above it keeps its size.
bool MakeStatusBar(TControl* form, int32_t index) {
  if (!form->EnsureHandle()) return false;
  const int32_t clientHeight = ClientHeight(form);
  TControl* bar = NewStandardControl(form, kStatusBarClass, kBarStyle | GripBits(form),
                                     &kStatusBarTable, false);
  bar->Align = kAlignBottom;
  bar->AlignLocked = true;
  if (!bar->MakeWindow()) {
    bar->Free();
    return false;
  }
  form->StatusBar = bar;
  SendToBar(form, SB_SIMPLE, index == kSimpleIndex, 0);
  RECT barRect;
  GetWindowRect(bar->Handle, &barRect);
  form->StatusHeight = barRect.bottom - barRect.top;
  SetClientSize(form, 0, clientHeight);
  SendToBar(form, WM_SIZE, 0, 0);
  form->AddMessageHandler(FollowForm, false);
  return true;
}

// Right edges w, 2w, ... over the form's width; the last one reaches the end.
void DivideEqually(TControl* form, int32_t count) {
  int edges[kMaxParts];
  const int32_t width = ClientWidth(form) / count;
  for (int32_t i = 0; i < count; ++i)
    edges[i] = (i + 1) * width;
  edges[count - 1] = -1;
  SendToBar(form, SB_SETPARTS, count, reinterpret_cast<LPARAM>(edges));
}

// What the bar showed before a progress text took it over: its mode and its
// simple-mode text, as the texts written meanwhile leave them.
struct TProgressState {
  TControl* form = nullptr;
  bool simple = false;
  std::wstring simpleText;
};
TProgressState progress;

std::wstring SimpleText(TControl* form) {
  // In simple mode every index reads the simple-mode text.
  const auto length = static_cast<size_t>(LOWORD(SendToBar(form, SB_GETTEXTLENGTHW, 0, 0)));
  std::wstring text(length + 1, L'\0');
  SendToBar(form, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return text;
}

void NoteWriteDuringProgress(TControl* form, int32_t index, const std::wstring& text) {
  if (progress.form != form) return;
  progress.simple = index == kSimpleIndex;
  if (progress.simple) progress.simpleText = text;
}

}  // namespace

void ShowStatusProgress(TControl* form, std::string_view text) {
  if (!form->StatusBar || !form->StatusBar->Handle) return;
  if (progress.form != form) {
    EndStatusProgress();
    const bool simple = SendToBar(form, SB_ISSIMPLE, 0, 0);
    progress = {form, simple, simple ? SimpleText(form) : std::wstring()};
  }
  const std::wstring wide = ToWstr(text);
  // Switching redraws the whole bar: only when a part text took it back.
  if (!SendToBar(form, SB_ISSIMPLE, 0, 0)) SendToBar(form, SB_SIMPLE, TRUE, 0);
  SendToBar(form, SB_SETTEXTW, kSimpleIndex, reinterpret_cast<LPARAM>(wide.c_str()));
}

void EndStatusProgress() {
  TControl* form = progress.form;
  if (!form) return;
  progress.form = nullptr;
  if (!form->StatusBar || !form->StatusBar->Handle) return;
  SendToBar(form, SB_SIMPLE, progress.simple, 0);
  if (progress.simple) {
    SendToBar(form, SB_SETTEXTW, kSimpleIndex,
              reinterpret_cast<LPARAM>(progress.simpleText.c_str()));
  }
}

void SetStatusText(TControl* form, int32_t index, std::string_view text) {
  // A larger index would land, by its low byte, in another part with drawing
  // flags in the high byte of SB_SETTEXT.
  if (index < 0 || index > kSimpleIndex) return;
  if (!form->StatusBar && !MakeStatusBar(form, index)) return;
  if (index < kSimpleIndex) {
    if (index >= StatusPartCount(form)) DivideEqually(form, index + 1);
    SendToBar(form, SB_SIMPLE, FALSE, 0);
  }
  const std::wstring wide = ToWstr(text);
  SendToBar(form, SB_SETTEXTW, index, reinterpret_cast<LPARAM>(wide.c_str()));
  NoteWriteDuringProgress(form, index, wide);
}

int32_t StatusPartCount(TControl* form) {
  if (!form->StatusBar) return 0;
  return static_cast<int32_t>(SendToBar(form, SB_GETPARTS, 0, 0));
}

void SetStatusPartRight(TControl* form, int32_t index, int32_t right) {
  if (!form->StatusBar || index < 0) return;
  int edges[kMaxParts];
  const auto count = static_cast<int32_t>(
      SendToBar(form, SB_GETPARTS, kMaxParts - 1, reinterpret_cast<LPARAM>(edges)));
  if (index >= count || count > kMaxParts - 1) return;
  edges[index] = right;
  SendToBar(form, SB_SETPARTS, count, reinterpret_cast<LPARAM>(edges));
}

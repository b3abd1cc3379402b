#include "hint_manager.h"

#include <algorithm>

#include "control_props.h"
#include "graphic_tool.h"
#include "text_conv.h"
#include "wide_limit.h"

TKVHintManager* HintManager = nullptr;

// One registered control, known outside by the address of its TOOLINFO. The
// TOOLINFO's text points into Text, which the record owns: the caller's string
// may be gone by the time the tip reads it.
struct TKVHintManager::TTool {
  TToolInfo Info{};
  [[nodiscard]] HWND TipWindow() const { return reinterpret_cast<HWND>(Info.AppData); }
  // Kept here rather than asked back from the tooltip: the tooltip dies with
  // its owner, usually before the component that registered it, and Wine's tip
  // answers WM_GETFONT with a copy it made of this one.
  HFONT Font = nullptr;
  std::wstring Text;
};

namespace {

constexpr UINT kToolFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
static_assert(kToolFlags == 0x111);
constexpr DWORD kTipStyle = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;

THintId IdOf(const TToolInfo* info) {
  return reinterpret_cast<THintId>(info);
}

}  // namespace

TKVHintManager::TKVHintManager() {
  Interface.AddTool = BindEvent<&TKVHintManager::AddTool>(this);
  Interface.RemoveTool = BindEvent<&TKVHintManager::RemoveTool>(this);
  Interface.SetText = BindEvent<&TKVHintManager::SetText>(this);
  Interface.SetTitle = BindEvent<&TKVHintManager::SetTitle>(this);
  Interface.TrackOn = BindEvent<&TKVHintManager::TrackOn>(this);
  Interface.TrackOff = BindEvent<&TKVHintManager::TrackOff>(this);
  Interface.TrackMove = BindEvent<&TKVHintManager::TrackMove>(this);
}

TKVHintManager::~TKVHintManager() {
  while (!Tools.empty()) {
    RemoveTool(IdOf(&Tools.back()->Info));
  }
}

THintId TKVHintManager::AddTool(HWND window) {
  auto* tool = new TTool;
  tool->Info.Size = sizeof(TToolInfo);
  tool->Info.Flags = kToolFlags;
  tool->Info.Window = window;
  tool->Info.Id = reinterpret_cast<UINT_PTR>(window);

  // A child's window cannot own a popup: the system gives the tip to the
  // child's top-level window instead.
  tool->Info.AppData = reinterpret_cast<LPARAM>(CreateTipWindow(window));
  tool->Font = CreateTipFont();
  SendToTip(tool, WM_SETFONT, reinterpret_cast<WPARAM>(tool->Font), FALSE);
  SetWindowPos(tool->TipWindow(), HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

  RECT margins{Margin, Margin, Margin, Margin};
  SendToTip(tool, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool->Info));
  SendToTip(tool, TTM_SETTIPTEXTCOLOR, ResolveColor(Font.Color), 0);
  SendToTip(tool, TTM_SETTIPBKCOLOR, ResolveColor(Color), 0);
  SendToTip(tool, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(InitialDelay, 0));
  SendToTip(tool, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(AutoPopDelay, 0));
  SendToTip(tool, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margins));

  Tools.push_back(tool);
  return IdOf(&tool->Info);
}

void TKVHintManager::RemoveTool(THintId id) {
  TTool* tool = Find(id);
  if (!tool) return;
  Tools.erase(std::find(Tools.begin(), Tools.end(), tool));
  if (IsWindow(tool->TipWindow())) {
    SendToTip(tool, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool->Info));
    DestroyWindow(tool->TipWindow());
  }
  // Only now that no window can draw with it.
  if (tool->Font) DeleteObject(tool->Font);
  delete tool;
}

void TKVHintManager::SetText(THintId id, std::string_view text) {
  TTool* tool = Find(id);
  if (!tool) return;
  tool->Text = ToWstr(text);
  tool->Info.Text = tool->Text.data();
  SendToTip(tool, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool->Info));
}

void TKVHintManager::SetTitle(THintId id, int32_t icon, std::string_view title) {
  TTool* tool = Find(id);
  if (!tool) return;
  const std::wstring terminated = ToWstr(title);
  SendToTip(tool, TTM_SETTITLEW, icon, reinterpret_cast<LPARAM>(terminated.c_str()));
}

void TKVHintManager::TrackOn(THintId id) {
  if (TTool* tool = Find(id)) {
    SendToTip(tool, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool->Info));
  }
}

void TKVHintManager::TrackOff(THintId id) {
  if (TTool* tool = Find(id)) {
    SendToTip(tool, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool->Info));
  }
}

void TKVHintManager::TrackMove(THintId id, int16_t x, int16_t y) {
  if (!Tracking) return;
  if (TTool* tool = Find(id)) {
    SendToTip(tool, TTM_TRACKPOSITION, 0,
              MAKELPARAM(static_cast<uint16_t>(x), static_cast<uint16_t>(y)));
  }
}

TKVHintManager::TTool* TKVHintManager::Find(THintId id) const {
  for (TTool* tool : Tools) {
    if (IdOf(&tool->Info) == id) return tool;
  }
  return nullptr;
}

HWND TKVHintManager::CreateTipWindow(HWND owner) const {
  const DWORD style = Rectangular ? kTipStyle : kTipStyle | TTS_BALLOON;
  return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

HFONT TKVHintManager::CreateTipFont() const {
  LOGFONTW logFont{};
  logFont.lfHeight = PointsToHeight(Font.Size);
  logFont.lfWeight = (Font.Style & kFontBold) ? FW_BOLD : 0;
  logFont.lfItalic = (Font.Style & kFontItalic) ? 1 : 0;
  logFont.lfUnderline = (Font.Style & kFontUnderline) ? 1 : 0;
  logFont.lfStrikeOut = (Font.Style & kFontStrikeOut) ? 1 : 0;
  logFont.lfCharSet = Font.CharSet;
  // A longer name is cut: the face name field ends with its terminator.
  const std::wstring face = ToWstr(Font.Name);
  const std::wstring_view fitting = CutToUnits(face, LF_FACESIZE - 1);
  fitting.copy(logFont.lfFaceName, fitting.size());
  return CreateFontIndirectW(&logFont);
}

void TKVHintManager::SendToTip(TTool* tool, UINT message, WPARAM wParam, LPARAM lParam) {
  SendMessageW(tool->TipWindow(), message, wParam, lParam);
}

void HintManagerUnitInit() {
  HintManager = new TKVHintManager;
}

void HintManagerUnitFinish() {
  delete HintManager;
  HintManager = nullptr;
}

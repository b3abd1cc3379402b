#include "status_bar.h"

#include "control_kinds.h"

namespace {

// The status text index of the simple-mode text; parts are 0 .. 254.
constexpr int32_t kSimpleIndex = 255;
constexpr int32_t kMaxAlignment = 2;

}  // namespace

TKVStatusBar::TKVStatusBar(TControl* parent) : Strings(NewStrList()), Parent(parent) {
  // The form control may go before this component (the loop frees every
  // window control first): from then on the bar is left alone.
  if (Parent) Parent->AddFreeNotify(ForgetParent, this);
}

TKVStatusBar::~TKVStatusBar() {
  if (Parent) Parent->RemoveFreeNotify(ForgetParent, this);
  Parent = nullptr;
  Strings->Free();
  Strings = nullptr;
}

void TKVStatusBar::SetParts(std::string_view text) {
  if (!ParentAlive()) return;
  Parent->SizeGrip = SizeGrip;
  TStrList* parts = NewStrList();
  parts->SetText(text, false);
  const std::string prefix = Prefix();
  SetStatusText(Parent, kSimpleIndex, prefix + Text);
  // Beyond the named parts one more holds the text; index 255 is not a part.
  const int32_t count = parts->Count < kSimpleIndex ? parts->Count : kSimpleIndex;
  if (count > 0 && count < kSimpleIndex) SetStatusText(Parent, count, prefix + Text);
  int32_t right = 0;
  for (int32_t i = 0; i < count; ++i) {
    // With "=" appended, a line without one has a name and no width.
    const std::string line = std::string(parts->GetText(i)) + "=";
    const size_t equals = line.find('=');
    const std::string_view width = std::string_view(line).substr(equals + 1);
    SetStatusText(Parent, i, prefix + line.substr(0, equals));
    if (!width.empty()) right += TextToInt(width);
    SetStatusPartRight(Parent, i, right);
  }
  parts->Free();
  if (Parent->StatusBar) Parent->StatusBar->SetVisible(Visible);
}

void TKVStatusBar::SetStrings(std::string_view text) {
  Strings->SetText(text, false);
}

void TKVStatusBar::doText(TData& data, uint16_t) {
  if (!ParentAlive()) return;
  const int32_t line = ReadInteger(data, TKV_Event{}, 0);
  const int32_t part = ReadInteger(data, Index, 0);
  // Any other number would land in another part, or in the simple-mode text.
  if (part < 0 || part >= kSimpleIndex) return;
  const std::string text = Prefix() + std::string(Strings->GetText(line));
  SetStatusText(Parent, StatusPartCount(Parent) == part ? kSimpleIndex : part, text);
  FireNull(onText);
}

std::string TKVStatusBar::Prefix() const {
  if (Alignment < 0 || Alignment > kMaxAlignment) return {};
  return std::string(static_cast<size_t>(Alignment), '\t');
}

// A control whose window the system has destroyed would only make a new one.
bool TKVStatusBar::ParentAlive() const {
  return Parent && !Parent->Destroying && !Parent->SystemDestroyed;
}

void TKVStatusBar::ForgetParent(void* data, TObj*) {
  static_cast<TKVStatusBar*>(data)->Parent = nullptr;
}

// Alignment docks children to the edges of their parent's client area; keyboard
// navigation moves the focus between a form's controls in tab order.
#include "layout.h"

#include <algorithm>
#include <vector>

namespace {

enum TAlignMode : uint8_t {
  kAlignNone = 0,
  kAlignLeft = 1,
  kAlignTop = 2,
  kAlignRight = 3,
  kAlignBottom = 4,
  kAlignClient = 5,
};

// The controls whose children are being aligned now. Moving a child sends it
// WM_SIZE, which asks its parent to align again; the run under way covers that.
std::vector<TControl*> aligning;

TControl* ChildAt(TControl* control, int32_t index) {
  return static_cast<TControl*>(control->Children->Items[index]);
}

bool ShownOrPending(TControl* control) {
  if (control->ShowPending) return true;
  // A window hidden by its ancestors counts as hidden, without touching the
  // control's own flag: that one says what it wants once they are shown.
  if (control->Handle) return IsWindowVisible(control->Handle) != 0;
  return control->Visible;
}

// Visible for alignment and tab order: the control's own flag (or a pending
// show), and for a child control its parent's visibility as well.
bool TakesPart(TControl* child, bool parentShown) {
  if (!child->Visible && !child->ShowPending) return false;
  return !child->IsControl || parentShown;
}

// The layout area: the client rectangle less the margins.
RECT LayoutArea(TControl* control) {
  RECT area{0, 0, control->Bounds.right - control->Bounds.left,
            control->Bounds.bottom - control->Bounds.top};
  if (HWND window = control->EnsureHandle()) GetClientRect(window, &area);
  area.top += control->ClientMargins.Top;
  area.bottom -= control->ClientMargins.Bottom;
  area.left += control->ClientMargins.Left;
  area.right -= control->ClientMargins.Right;
  return area;
}

// The child's rectangle as its window has it now, in the parent's client
// coordinates.
RECT CurrentBounds(TControl* child, TControl* parent) {
  RECT bounds = child->Bounds;
  if (child->Handle && GetWindowRect(child->Handle, &bounds)) {
    MapWindowPoints(nullptr, parent->Handle, reinterpret_cast<POINT*>(&bounds), 2);
  }
  return bounds;
}

// Docks one child inside area, and takes the room it uses off the area.
RECT Dock(uint8_t mode, const RECT& bounds, RECT& area, int32_t spacing) {
  const int32_t width = bounds.right - bounds.left;
  const int32_t height = bounds.bottom - bounds.top;
  RECT docked = bounds;
  switch (mode) {
    case kAlignTop:
      docked = {area.left + spacing, area.top + spacing, area.right - spacing,
                area.top + spacing + height};
      area.top += height + spacing;
      break;
    case kAlignBottom:
      docked = {area.left + spacing, area.bottom - spacing - height, area.right - spacing,
                area.bottom - spacing};
      area.bottom -= height + spacing;
      break;
    case kAlignLeft:
      docked = {area.left + spacing, area.top + spacing, area.left + spacing + width,
                area.bottom - spacing};
      area.left += width + spacing;
      break;
    case kAlignRight:
      docked = {area.right - spacing - width, area.top + spacing, area.right - spacing,
                area.bottom - spacing};
      area.right -= width + spacing;
      break;
    case kAlignClient:
      docked = {area.left + spacing, area.top + spacing, area.right - spacing,
                area.bottom - spacing};
      break;
    default:
      break;
  }
  docked.right = std::max(docked.right, docked.left);
  docked.bottom = std::max(docked.bottom, docked.top);
  return docked;
}

bool InPass(uint8_t mode, int pass) {
  switch (pass) {
    case 0:
      return mode == kAlignTop || mode == kAlignBottom;
    case 1:
      return mode == kAlignLeft || mode == kAlignRight;
    default:
      return mode == kAlignClient;
  }
}

bool SameSize(const RECT& a, const RECT& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

void AlignPass(TControl* control, int pass, RECT& area, bool parentShown) {
  // Moving a child may add or free children: walk by index and re-check.
  for (int32_t i = 0; i < control->Children->Count; ++i) {
    TControl* child = ChildAt(control, i);
    if (child->AlignLocked || !InPass(child->Align, pass) || !TakesPart(child, parentShown)) {
      continue;
    }
    const RECT current = CurrentBounds(child, control);
    child->Bounds = current;
    const RECT docked = Dock(child->Align, current, area, control->Spacing);
    if (EqualRect(&current, &docked)) continue;
    child->SetBoundsRect(docked);
    if (!SameSize(current, docked)) AlignChildren(child);
  }
}

// The tab list of a form: depth first, ordered by TabOrder, equal orders in
// the order they were found.
void CollectTabStops(TControl* control, std::vector<TControl*>& list) {
  const bool shown = ShownOrPending(control);
  for (int32_t i = 0; i < control->Children->Count; ++i) {
    TControl* child = ChildAt(control, i);
    if (child->TabStop && child->Enabled && (child->Style & WS_TABSTOP) &&
        TakesPart(child, shown)) {
      const auto after = std::upper_bound(
          list.begin(), list.end(), child,
          [](const TControl* a, const TControl* b) { return a->TabOrder < b->TabOrder; });
      list.insert(after, child);
    }
    if (child->Enabled) CollectTabStops(child, list);
  }
}

// Forward: the smallest order above the current one, else the smallest of all.
// Backward: the largest below, else the largest of all. The list is sorted, so
// the first of equal orders is met first either way.
TControl* NextInTabOrder(const std::vector<TControl*>& list, int32_t current, int direction) {
  TControl* beyond = nullptr;
  TControl* wrap = nullptr;
  for (TControl* control : list) {
    const int32_t order = control->TabOrder;
    if (order == current) continue;
    if (direction > 0) {
      if (order > current && (!beyond || order < beyond->TabOrder)) beyond = control;
      if (!wrap || order < wrap->TabOrder) wrap = control;
    } else {
      if (order < current && (!beyond || order > beyond->TabOrder)) beyond = control;
      if (!wrap || order > wrap->TabOrder) wrap = control;
    }
  }
  return beyond ? beyond : wrap;
}

// The navigation bit a key belongs to; 0 for other keys.
uint32_t NavigationBit(uint32_t key) {
  switch (key) {
    case VK_TAB:
      return 1;
    case VK_LEFT:
    case VK_RIGHT:
      return 2;
    case VK_UP:
    case VK_DOWN:
      return 4;
    case VK_PRIOR:
    case VK_NEXT:
      return 8;
    default:
      return 0;
  }
}

int Direction(uint32_t key) {
  if (key == VK_TAB) return GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
  return key == VK_PRIOR || key == VK_LEFT || key == VK_UP ? -1 : 1;
}

}  // namespace

void SetAlign(TControl* control, uint8_t mode) {
  AlignHook = AlignChildren;
  if (control->AlignLocked || control->Align == mode) return;
  control->Align = mode;
  if (control->Parent) AlignChildren(control->Parent);
}

void AlignChildren(TControl* control) {
  if (!control->Children || control->Children->Count == 0) return;
  if (std::find(aligning.begin(), aligning.end(), control) != aligning.end()) return;
  aligning.push_back(control);
  RECT area = LayoutArea(control);
  const bool shown = ShownOrPending(control);
  for (int pass = 0; pass < 3; ++pass) {
    AlignPass(control, pass, area, shown);
  }
  aligning.erase(std::find(aligning.begin(), aligning.end(), control));
}

bool NavigateKey(TControl* control, uint32_t key, bool notKeyDown) {
  const uint32_t bit = NavigationBit(key);
  if (!bit || !(control->NavKeys & bit)) return false;
  // The key-up and the character of a navigation key are swallowed too.
  if (notKeyDown) return true;
  if (TControl* form = control->ParentForm()) MoveFocus(form, Direction(key));
  return true;
}

void MoveFocus(TControl* form, int direction) {
  std::vector<TControl*> list;
  CollectTabStops(form, list);
  const int32_t current = form->FocusedControl ? form->FocusedControl->TabOrder : 0;
  TControl* target = NextInTabOrder(list, current, direction);
  if (!target) return;
  if (target->Handle) {
    ++target->FocusNesting;
    SetFocus(target->Handle);
    --target->FocusNesting;
  }
  form->FocusedControl = target;
}

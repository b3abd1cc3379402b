// The kinds of control the visual components make (form, push button, bitmap
// button, static text, paint box) and what a form does with them: its status
// bar, its default and cancel buttons and its keyboard navigation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "control.h"

// What a standard window class tells the library: its notification codes (the
// first one is the click), its background colour message, and its left, centre
// and right text style bits with the bits any alignment clears.
struct TCommandTable {
  uint16_t NotifyCodes[5];
  UINT ColorMessage;
  uint32_t TextAlignStyles[3];
  uint32_t TextAlignExcluded;
};

// The common step of the child kinds: the windowed-control constructor, then
// the command table (none: keep the defaults), the child styles, a place in
// the form's tab sequence, the form's first focus, an identifier and the
// standard-control handler. ctl3d is the windowed-control constructor's flag.
TControl* NewStandardControl(TControl* parent, const char* className, uint32_t style,
                             const TCommandTable* table, bool ctl3d);

TControl* NewForm(TControl* parent, std::string_view caption);
TControl* NewButton(TControl* parent, std::string_view caption);
// glyph: an HBITMAP, or an HIMAGELIST when option bit 0 is set; borrowed.
TControl* NewBitBtn(TControl* parent, std::string_view caption, uint32_t options,
                    int32_t glyphCount, HANDLE glyph, uint8_t layout);
TControl* NewLabel(TControl* parent, std::string_view caption);
TControl* NewPaintbox(TControl* parent);

// Bitmap button options.
constexpr uint32_t kBitBtnImageList = 1;
constexpr uint32_t kBitBtnToggle = 8;

// Runs the bitmap button: a double click presses it again, and the reflected
// draw hands the drawing state to OnBitBtnDraw.
bool BitBtnHandler(TControl* control, MSG& msg, LRESULT& result);
// A flat bitmap button is drawn hot while the mouse is inside it.
void SetFlat(TControl* control, bool on);

// The form's status bar, made by the first text. index 0..254: that part
// (made, with the width divided equally, when missing); 255: the simple-mode
// text. Any other index does nothing.
void SetStatusText(TControl* form, int32_t index, std::string_view text);
// 0 when the form has no status bar.
[[nodiscard]] int32_t StatusPartCount(TControl* form);
// Moves the right edge of an existing part.
void SetStatusPartRight(TControl* form, int32_t index, int32_t right);
// Shows a progress text over the whole bar of a form that has one, until
// EndStatusProgress; the texts written meanwhile are kept, and the bar then
// shows what the last of them showed, or what it showed before.
void ShowStatusProgress(TControl* form, std::string_view text);
void EndStatusProgress();

// key VK_RETURN: the form's default button; VK_ESCAPE: its cancel button.
// Only the button that holds a role can give it up.
void SetDefaultButton(TControl* button, uint32_t key, bool on);
// The form's dialog-key procedure while a button holds a role: Enter and Esc
// click those buttons, other keys go to the procedure the roles replaced.
bool ButtonRoleKey(TControl* control, uint32_t key, bool notKeyDown);
// Tab, the arrows and Page Up/Down move the focus between the form's controls.
void SetTabNavigation(TControl* form);

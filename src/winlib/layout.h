// Docking children to the edges of their parent, and moving the focus between
// the controls of a form with Tab, the arrow keys and Page Up/Down.
#pragma once

#include <cstdint>

#include "control.h"

// Makes AlignChildren the library's AlignHook; stores the mode and re-aligns
// the parent's children when it changed (unless the control is AlignLocked).
void SetAlign(TControl* control, uint8_t mode);
void AlignChildren(TControl* control);

// A form's DialogKeyProc: true when the key was taken for navigation.
bool NavigateKey(TControl* control, uint32_t key, bool notKeyDown);
// direction +1 forward, -1 backward.
void MoveFocus(TControl* form, int direction);

// The window library's unit: the globals it sets up at start-up and drops at
// the end.
#pragma once

#include <windows.h>

#include "str_list.h"

// The shared list of main-form windows: an empty string with the window
// handle as its object.
extern TStrListEx* FormsList;
// The number RegisterWindowMessageW gives the window message "inner message".
extern UINT InnerMessageId;

void WindowLibraryInit();
void WindowLibraryFinish();

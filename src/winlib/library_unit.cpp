#include "library_unit.h"

TStrListEx* FormsList = nullptr;
UINT InnerMessageId = 0;

void WindowLibraryInit() {
  if (!FormsList) FormsList = NewStrListEx();
  InnerMessageId = RegisterWindowMessageW(L"inner message");
}

void WindowLibraryFinish() {
  if (FormsList) FormsList->Free();
  FormsList = nullptr;
}

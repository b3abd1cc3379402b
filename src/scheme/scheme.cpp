#include "scheme.h"

TClassMainForm_25378D0* SchemeInstance = nullptr;

TClassMainForm_25378D0::TClassMainForm_25378D0() {
  SchemeInstance = this;
  try {
    CreateComponents();
    JoinLinks();
  } catch (...) {
    FreeComponents();
    throw;
  }
}

TClassMainForm_25378D0::~TClassMainForm_25378D0() {
  FreeComponents();
}

void TClassMainForm_25378D0::CreateComponents() {}

void TClassMainForm_25378D0::JoinLinks() {}

void TClassMainForm_25378D0::FreeComponents() {
  while (!created_.empty()) {
    delete created_.back();
    created_.pop_back();
  }
}

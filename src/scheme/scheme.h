// TClassMainForm_25378D0: creates this program's components in their fixed
// order, writes their properties, joins their links and frees them last-first.
#pragma once

#include <vector>

#include "component.h"

class TClassMainForm_25378D0 {
 public:
  TClassMainForm_25378D0();
  ~TClassMainForm_25378D0();
  TClassMainForm_25378D0(const TClassMainForm_25378D0&) = delete;
  TClassMainForm_25378D0& operator=(const TClassMainForm_25378D0&) = delete;

 private:
  void CreateComponents();
  void JoinLinks();
  void FreeComponents();

  // Creates a component and records it, so that it is freed in reverse order.
  template <class T, class... Args>
  T* Create(Args... args) {
    T* component = new T(args...);
    created_.push_back(component);
    return component;
  }

  std::vector<TKVComponent*> created_;
};

// The one scheme object, set by its constructor before anything is created.
extern TClassMainForm_25378D0* SchemeInstance;

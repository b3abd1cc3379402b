#include "start_list.h"

#include <cstddef>
#include <vector>

namespace {

struct StartAction {
  TStartProc proc;
  void* context;
};

std::vector<StartAction>& StartList() {
  static std::vector<StartAction> list;
  return list;
}

}  // namespace

bool Started = false;

void AddStartAction(TStartProc proc, void* context) {
  StartList().push_back({proc, context});
}

void RemoveStartActions(const void* context) {
  auto& list = StartList();
  std::erase_if(list, [context](const StartAction& action) { return action.context == context; });
}

void RunStartList() {
  auto& list = StartList();
  // The length is read again before every call: an action may add another.
  for (size_t i = 0; i < list.size(); ++i) {
    const StartAction action = list[i];
    action.proc(action.context);
  }
  list.clear();
  Started = true;
}

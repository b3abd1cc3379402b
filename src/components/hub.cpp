#include "hub.h"

void TKVHub::SetOutCount(uint16_t count) {
  onEvent.assign(count, TKV_Event{});
  OutCount = static_cast<uint8_t>(count);
}

void TKVHub::doEvent(TData& data, uint16_t) {
  for (const TKV_Event& output : onEvent) {
    FireCopy(output, data);
  }
}

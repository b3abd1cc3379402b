// TKVHub: fans one event out to its outputs in order, and lets several
// sources share the same outputs.
#pragma once

#include <cstdint>
#include <vector>

#include "component.h"
#include "event.h"

class TKVHub : public TKVComponent {
 public:
  // Makes count unconnected outputs (onEvent1 .. onEventN are onEvent[0 .. N-1]).
  void SetOutCount(uint16_t count);
  // Input event of every input: each output gets its own copy of the record and
  // runs to its end, tail continuations included, before the next starts.
  void doEvent(TData& data, uint16_t index);

  uint8_t OutCount = 0;
  // Set by the scheme for the record; every input leads to doEvent.
  uint8_t InCount = 0;
  std::vector<TKV_Event> onEvent;
};

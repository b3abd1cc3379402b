// TKVEventFromData: keeps a deep copy of the value an event brings and hands
// it to every reader of its data output.
#pragma once

#include <cstdint>

#include "component.h"
#include "event.h"

class TKVEventFromData : public TKVComponent {
 public:
  TKVEventFromData() = default;
  ~TKVEventFromData() override;
  TKVEventFromData(const TKVEventFromData&) = delete;
  TKVEventFromData& operator=(const TKVEventFromData&) = delete;

  // Input event: stores the Data input, or the incoming value when unlinked.
  void doData(TData& data, uint16_t index);
  // Data output: fires onRead with the reader's record, then gives it the stored value.
  void Value(TData& data, uint16_t index);

  TKV_Event DataLink;
  TKV_Event onRead;

 private:
  // Owns its chain; null until the first doData.
  TData value_;
};

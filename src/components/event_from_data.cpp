#include "event_from_data.h"

TKVEventFromData::~TKVEventFromData() {
  FreeChain(value_);
}

void TKVEventFromData::doData(TData& data, uint16_t) {
  TData read;
  ReadData(data, DataLink, read);
  // Copy before freeing: what was read may share chain elements with the
  // stored value (a record that came from our own Value).
  TData stored;
  CopyChain(stored, read);
  stored.continuation = nullptr;
  FreeChain(value_);
  value_ = stored;
}

void TKVEventFromData::Value(TData& data, uint16_t) {
  FireData(onRead, data);
  // The reader gets the head; the chain stays ours and is only lent.
  data = value_;
}

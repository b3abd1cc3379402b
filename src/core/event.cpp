#include "event.h"

namespace {

void IdleHook(const TKV_Event&, TData&) {}

// Runs the handler, then keeps following continuations while handlers tail-fire:
// a loop, not a recursion, however long the chain.
void Dispatch(const TKV_Event& link, TData& data) {
  const TKV_Event* current = &link;
  while (current && current->handler) {
    current->handler(current->target, data, current->index);
    if (!(data.type & kContinueFlag)) return;
    data.type -= kContinueFlag;
    current = data.continuation;
  }
}

void Read(const TKV_Event& link, TData& data) {
  if (link.handler) link.handler(link.target, data, link.index);
}

// Asks a linked source for its value; false when unlinked or it has none.
bool ReadFromLink(const TKV_Event& link, TData& local) {
  if (!link.handler) return false;
  DataHook(link, local);
  return local.type != dtNoSource;
}

// Takes the incoming value off the record: the next chain element moves up.
void Consume(TData& incoming) {
  if (incoming.next) {
    incoming = TData(*incoming.next);
  } else {
    incoming.type = dtNull;
  }
}

template <class T, class Convert>
T ReadInput(TData& incoming, const TKV_Event& link, T defaultValue, bool defaultSet,
            Convert convert) {
  TData local;
  if (ReadFromLink(link, local)) return convert(local);
  if (defaultSet) return defaultValue;
  if (incoming.type != dtNull) {
    T value = convert(incoming);
    Consume(incoming);
    return value;
  }
  return defaultValue;
}

void MarkTail(TData& data, const TKV_Event& link) {
  data.type |= kContinueFlag;
  data.continuation = &link;
}

}  // namespace

TDispatchHook EventHook = IdleHook;
TDispatchHook DataHook = IdleHook;

void SetHooksWorking() {
  EventHook = Dispatch;
  DataHook = Read;
}

void SetHooksIdle() {
  EventHook = IdleHook;
  DataHook = IdleHook;
}

void FireData(const TKV_Event& link, TData& data) {
  EventHook(link, data);
}

void FireCopy(const TKV_Event& link, const TData& data) {
  TData copy(data);
  EventHook(link, copy);
}

void FireInteger(const TKV_Event& link, int32_t value) {
  TData local;
  SetInteger(local, value);
  EventHook(link, local);
}

void FireReal(const TKV_Event& link, double value) {
  TData local;
  SetReal(local, value);
  EventHook(link, local);
}

void FireString(const TKV_Event& link, std::string_view value) {
  TData local;
  SetString(local, value);
  EventHook(link, local);
}

void FireNull(const TKV_Event& link) {
  TData local;
  EventHook(link, local);
}

void TailString(TData& data, const TKV_Event& link, std::string_view value) {
  SetString(data, value);
  MarkTail(data, link);
}

void TailInteger(TData& data, const TKV_Event& link, int32_t value) {
  SetInteger(data, value);
  MarkTail(data, link);
}

void TailNull(TData& data, const TKV_Event& link) {
  data.type = dtNull;
  MarkTail(data, link);
}

void TailPass(TData& data, const TKV_Event& link) {
  MarkTail(data, link);
}

std::string ReadString(TData& incoming, const TKV_Event& link, std::string_view defaultValue) {
  return ReadInput<std::string>(incoming, link, std::string(defaultValue), !defaultValue.empty(),
                                [](const TData& d) { return ToString(d); });
}

int32_t ReadInteger(TData& incoming, const TKV_Event& link, int32_t defaultValue) {
  return ReadInput<int32_t>(incoming, link, defaultValue, defaultValue != 0,
                            [](const TData& d) { return ToInteger(d); });
}

double ReadReal(TData& incoming, const TKV_Event& link, double defaultValue) {
  return ReadInput<double>(incoming, link, defaultValue, defaultValue != 0.0,
                           [](const TData& d) { return ToReal(d); });
}

void ReadData(TData& incoming, const TKV_Event& link, TData& result, const TData* defaultValue) {
  SetNull(result);
  if (ReadFromLink(link, result)) return;
  if (defaultValue && defaultValue->type != dtNull) {
    result = *defaultValue;
    return;
  }
  if (incoming.type == dtNull) {
    // Nothing arrived: the record, chain and all, is left as it was.
    SetNull(result);
    return;
  }
  result = incoming;
  SetNull(incoming);
}

void ReadDataPlain(const TKV_Event& link, TData& result) {
  if (link.handler) {
    DataHook(link, result);
  } else {
    result.type = dtNoSource;
  }
}

int32_t ReadIntegerPlain(const TKV_Event& link) {
  TData local;
  ReadDataPlain(link, local);
  return ToInteger(local);
}

// TKV_Event, the link record, with the two global dispatch hooks and the
// operations with which a component fires its outputs and reads its inputs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data.h"

// Every point handler, input event or data output alike: (component, record, index).
using TKV_Handler = void (*)(void* target, TData& data, uint16_t index);

// A link without a handler is unconnected: firing it does nothing, reading it
// yields the default.
struct TKV_Event {
  TKV_Handler handler = nullptr;
  void* target = nullptr;
  uint16_t index = 0;
};

namespace link_detail {
template <class>
struct PointOwner;
template <class C>
struct PointOwner<void (C::*)(TData&, uint16_t)> {
  using type = C;
};
template <auto Point>
using OwnerOf = typename PointOwner<decltype(Point)>::type;

template <auto Point>
void Trampoline(void* target, TData& data, uint16_t index) {
  (static_cast<OwnerOf<Point>*>(target)->*Point)(data, index);
}
}  // namespace link_detail

// Link<&TKVDirTools::doDelete>(dtDelTemp, 2): a link to a component's point.
template <auto Point>
TKV_Event Link(link_detail::OwnerOf<Point>* target, uint16_t index) {
  return TKV_Event{&link_detail::Trampoline<Point>, target, index};
}

// The hooks every event and every data read pass through. Both stay idle
// (do nothing) until the program's start step; closing the main form idles them again.
using TDispatchHook = void (*)(const TKV_Event& link, TData& data);
extern TDispatchHook EventHook;
extern TDispatchHook DataHook;
void SetHooksWorking();
void SetHooksIdle();

// Firing an output event.
void FireData(const TKV_Event& link, TData& data);
void FireCopy(const TKV_Event& link, const TData& data);
void FireInteger(const TKV_Event& link, int32_t value);
void FireReal(const TKV_Event& link, double value);
void FireString(const TKV_Event& link, std::string_view value);
void FireNull(const TKV_Event& link);

// Tail firing: a handler's very last action. The record is marked and the
// dispatcher fires the link once the handler has returned, so chains of any
// length run in constant stack depth. The handler must not touch the record after.
void TailString(TData& data, const TKV_Event& link, std::string_view value);
void TailInteger(TData& data, const TKV_Event& link, int32_t value);
void TailNull(TData& data, const TKV_Event& link);
void TailPass(TData& data, const TKV_Event& link);

// Reading a data input: the link when it answers, else the default when set,
// else the value that arrived with the event (consuming it), else empty or zero.
std::string ReadString(TData& incoming, const TKV_Event& link, std::string_view defaultValue);
int32_t ReadInteger(TData& incoming, const TKV_Event& link, int32_t defaultValue);
double ReadReal(TData& incoming, const TKV_Event& link, double defaultValue);
// Writes the input's whole value into result; defaultValue may be null.
void ReadData(TData& incoming, const TKV_Event& link, TData& result,
              const TData* defaultValue = nullptr);
// No default and no incoming value: an unconnected link yields dtNoSource.
void ReadDataPlain(const TKV_Event& link, TData& result);
int32_t ReadIntegerPlain(const TKV_Event& link);

// Events per second through the dispatcher: a long tail-fired chain and a
// chain of ordinary (nested) firings, each against a plain loop of indirect
// calls doing the same work, measured in the same run.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "component.h"
#include "event.h"

namespace {

constexpr int kEvents = 20000000;
constexpr int kChainLength = 1000;  // nested firings: bounded by the stack

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Tail-fires itself until the count is reached.
struct TailRelay : TKVComponent {
  TKV_Event onOut;
  int hops = 0;
  void doHop(TData& data, uint16_t) {
    if (++hops < kEvents) TailPass(data, onOut);
  }
};

// Fires its successor from inside its handler: one stack frame per hop.
struct NestedRelay : TKVComponent {
  TKV_Event onOut;
  int hops = 0;
  void doHop(TData& data, uint16_t) {
    ++hops;
    FireData(onOut, data);
  }
};

// The baseline: the same counting reached through a plain function pointer.
struct Counter {
  int hops = 0;
};
void CountHop(Counter* counter) { ++counter->hops; }
void (*volatile countHop)(Counter*) = CountHop;

double BaselineSeconds() {
  Counter counter;
  const double start = Now();
  for (int i = 0; i < kEvents; ++i) countHop(&counter);
  const double seconds = Now() - start;
  if (counter.hops != kEvents) std::printf("baseline miscounted\n");
  return seconds;
}

double TailChainSeconds() {
  TailRelay relay;
  relay.onOut = Link<&TailRelay::doHop>(&relay, 0);
  const double start = Now();
  FireNull(relay.onOut);
  const double seconds = Now() - start;
  if (relay.hops != kEvents) std::printf("tail chain miscounted\n");
  return seconds;
}

double NestedChainSeconds() {
  std::vector<NestedRelay> relays(kChainLength);
  for (int i = 0; i + 1 < kChainLength; ++i) {
    relays[i].onOut = Link<&NestedRelay::doHop>(&relays[i + 1], 0);
  }
  const TKV_Event head = Link<&NestedRelay::doHop>(&relays[0], 0);
  const double start = Now();
  for (int round = 0; round < kEvents / kChainLength; ++round) FireNull(head);
  const double seconds = Now() - start;
  int hops = 0;
  for (const NestedRelay& relay : relays) hops += relay.hops;
  if (hops != kEvents) std::printf("nested chain miscounted\n");
  return seconds;
}

void Report(const char* name, double seconds, double baseline) {
  std::printf("%-28s %8.1f M events/s   %6.2fx the time of the plain loop\n", name,
              kEvents / seconds / 1e6, seconds / baseline);
}

}  // namespace

int main() {
  SetHooksWorking();
  const double baseline = BaselineSeconds();
  std::printf("%-28s %8.1f M calls/s\n", "plain indirect calls", kEvents / baseline / 1e6);
  Report("tail-fired chain", TailChainSeconds(), baseline);
  Report("ordinary firings, 1000 deep", NestedChainSeconds(), baseline);
  return 0;
}

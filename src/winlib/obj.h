// TObj, the base of every library object: a reference count that lets an
// object outlive a request to free it, a destruction event and free notifications.
#pragma once

#include <cstdint>

class TObj;
class TList;

// A library event: a procedure and its data pointer, the data passed first.
// An unset event (no procedure) is skipped.
using TObjProc = void (*)(void* data, TObj* sender);
struct TOnEvent {
  TObjProc proc = nullptr;
  void* data = nullptr;
  void operator()(TObj* sender) const {
    if (proc) proc(data, sender);
  }
};

namespace event_detail {
template <class>
struct EventOwner;
template <class C>
struct EventOwner<void (C::*)(TObj*)> {
  using type = C;
};
}  // namespace event_detail

// MakeEvent<&TKVWin::ControlGone>(this): a member of an object as a library event.
template <auto Method>
TOnEvent MakeEvent(typename event_detail::EventOwner<decltype(Method)>::type* object) {
  using Owner = typename event_detail::EventOwner<decltype(Method)>::type;
  return TOnEvent{[](void* data, TObj* sender) { (static_cast<Owner*>(data)->*Method)(sender); },
                  object};
}

// Library objects live on the heap and end through Free (or the release of the
// last reference after a pending Free), never through a plain delete by users.
class TObj {
 public:
  TObj() = default;
  TObj(const TObj&) = delete;
  TObj& operator=(const TObj&) = delete;

  // Every derived class sets its defaults here.
  virtual void Init() {}

  // Destroys the object now, or marks it to go when its last reference is released.
  void Free();
  void RefInc() { RefCount += 2; }
  void RefDec();
  // Called at destruction, newest first.
  void AddFreeNotify(TObjProc proc, void* data);
  // Takes back the first pair equal to (proc, data), if there is one.
  void RemoveFreeNotify(TObjProc proc, void* data);

  // Counts references in steps of 2; an odd count means a Free is pending.
  int32_t RefCount = 0;
  TOnEvent OnDestroy;
  TList* FreeNotifyList = nullptr;

 protected:
  virtual ~TObj();
  // Deletes once: an OnDestroy or notification that frees or releases the
  // object again while it goes does nothing.
  void DeleteOnce();
  // The TObj part of destruction: OnDestroy, then the notifications, then the
  // list goes. Runs once; a derived class may run it early in its own teardown.
  void DestroyObjPart();

 private:
  bool deleting_ = false;
};

// A reference a frame holds for as long as it runs: the object outlives a
// Free asked meanwhile and goes when the frame ends. An object already under
// destruction is not held. The frames' references are chained, innermost
// first, so that a path that never returns to them can let them all go.
class TFrameReference {
 public:
  explicit TFrameReference(TObj* object);
  ~TFrameReference();
  TFrameReference(const TFrameReference&) = delete;
  TFrameReference& operator=(const TFrameReference&) = delete;

  // Releases what every running frame holds. Only for a path that never
  // returns to those frames (the process is ending): a Free asked before or
  // after then destroys at once.
  static void ReleaseAll();

 private:
  TObj* object_;
  TFrameReference* outer_;
};

#include "obj.h"

#include "list.h"

TObj::~TObj() {
  DestroyObjPart();
}

void TObj::Free() {
  if (RefCount == 0) {
    DeleteOnce();
  } else if (!(RefCount & 1)) {
    RefCount -= 1;
  }
}

void TObj::RefDec() {
  RefCount -= 2;
  // Negative and odd: a Free was pending and this was the last reference.
  if (RefCount < 0 && (RefCount & 1)) DeleteOnce();
}

void TObj::DeleteOnce() {
  if (deleting_) return;
  deleting_ = true;
  delete this;
}

void TObj::AddFreeNotify(TObjProc proc, void* data) {
  if (!FreeNotifyList) FreeNotifyList = NewList();
  // A pair is two entries, procedure first; the newest pair goes in front.
  FreeNotifyList->Insert(0, data);
  FreeNotifyList->Insert(0, reinterpret_cast<void*>(proc));
}

void TObj::RemoveFreeNotify(TObjProc proc, void* data) {
  if (!FreeNotifyList) return;
  for (int32_t i = 0; i + 1 < FreeNotifyList->Count; i += 2) {
    if (FreeNotifyList->Items[i] == reinterpret_cast<void*>(proc) &&
        FreeNotifyList->Items[i + 1] == data) {
      FreeNotifyList->DeleteRange(i, 2);
      return;
    }
  }
}

void TObj::DestroyObjPart() {
  const TOnEvent onDestroy = OnDestroy;
  OnDestroy = {};
  onDestroy(this);
  TList* notifications = FreeNotifyList;
  FreeNotifyList = nullptr;
  if (!notifications) return;
  for (int32_t i = 0; i + 1 < notifications->Count; i += 2) {
    const auto proc = reinterpret_cast<TObjProc>(notifications->Items[i]);
    proc(notifications->Items[i + 1], this);
  }
  notifications->Free();
}

namespace {
TFrameReference* innermostFrame = nullptr;
}  // namespace

TFrameReference::TFrameReference(TObj* object)
    : object_(object && object->RefCount >= 0 ? object : nullptr), outer_(innermostFrame) {
  innermostFrame = this;
  if (object_) object_->RefInc();
}

TFrameReference::~TFrameReference() {
  innermostFrame = outer_;
  if (object_) object_->RefDec();
}

void TFrameReference::ReleaseAll() {
  for (TFrameReference* frame = innermostFrame; frame; frame = frame->outer_) {
    TObj* object = frame->object_;
    frame->object_ = nullptr;
    if (object) object->RefDec();
  }
}

// The start list: actions that components register while the scheme is being
// built, run once after the dispatch hooks have been switched on.
#pragma once

using TStartProc = void (*)(void* context);

void AddStartAction(TStartProc proc, void* context);

// Registers a component's method without arguments: AddStartMethod<&TKVMainForm::StartForm>(this).
template <auto Method, class T>
void AddStartMethod(T* object) {
  AddStartAction([](void* context) { (static_cast<T*>(context)->*Method)(); }, object);
}

// Takes back every action registered with this context: an object that goes
// before the start leaves nothing behind that would call it.
void RemoveStartActions(const void* context);

// Runs every action in registration order (including ones added meanwhile),
// then empties the list and sets Started.
void RunStartList();
extern bool Started;

#include "str_list.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

TStrList* NewStrList() {
  return new TStrList;
}

TStrList::~TStrList() {
  ClearStrings();
}

void TStrList::InsertString(int32_t index, std::string_view s) {
  if (index < 0 || index > Count) return;
  if (!Lines) Lines = NewList();
  auto* block = new char[s.size() + 1];
  std::memcpy(block, s.data(), s.size());
  block[s.size()] = 0;
  Lines->Insert(index, block);
  ++Count;
}

void TStrList::DeleteString(int32_t index) {
  if (!Lines || index < 0 || index >= Count) return;
  auto* s = static_cast<char*>(Lines->Get(index));
  // Lines of SetText live in TextBuf, which goes as a whole.
  if (!InTextBuf(s)) delete[] s;
  Lines->Delete(index);
  --Count;
}

void TStrList::ClearStrings() {
  for (int32_t i = Count - 1; i >= 0; --i)
    DeleteString(i);
  if (Lines) Lines->Free();
  Lines = nullptr;
  Count = 0;
  delete[] TextBuf;
  TextBuf = nullptr;
  TextSize = 0;
}

const char* TStrList::Get(int32_t index) const {
  if (!Lines || index < 0 || index >= Count) return nullptr;
  return static_cast<const char*>(Lines->Get(index));
}

bool TStrList::InTextBuf(const char* s) const {
  // std::less gives a total order even for pointers into different blocks.
  const std::less<const char*> before;
  return TextBuf && !before(s, TextBuf) && before(s, TextBuf + TextSize);
}

// Copies text and its 0 behind the old contents of a new block and moves
// every line pointer of the old block to the same place in the new one.
void TStrList::GrowTextBuf(std::string_view text) {
  auto* buffer = new char[TextSize + text.size() + 1];
  if (TextBuf) std::memcpy(buffer, TextBuf, TextSize);
  for (int32_t i = 0; Lines && i < Lines->Count; ++i) {
    auto* s = static_cast<char*>(Lines->Items[i]);
    if (InTextBuf(s)) Lines->Items[i] = buffer + (s - TextBuf);
  }
  std::memcpy(buffer + TextSize, text.data(), text.size());
  buffer[TextSize + text.size()] = 0;
  delete[] TextBuf;
  TextBuf = buffer;
  TextSize += static_cast<int32_t>(text.size()) + 1;
}

namespace {

// A line ends after a CR or at the end; an LF right after the CR is part of
// the separator, a lone LF stays inside the line.
int32_t CountLines(const char* begin, const char* end) {
  int32_t lines = 0;
  for (const char* p = begin; p < end; ++lines) {
    p = std::find(p, end, '\r');
    if (p < end) ++p;
    if (p < end && *p == '\n') ++p;
  }
  return lines;
}

}  // namespace

void TStrList::SetText(std::string_view text, bool append) {
  if (!append) {
    // The text may be one of our own lines, which clearing frees.
    const std::string own(text);
    ClearStrings();
    return SetText(own, true);
  }
  if (text.empty()) return;
  GrowTextBuf(text);
  char* begin = TextBuf + TextSize - text.size() - 1;
  char* const end = begin + text.size();
  const int32_t lines = CountLines(begin, end);
  if (!Lines) Lines = NewList();
  Count += lines;
  if (Lines->Capacity < Count) Lines->SetCapacity(Count);
  for (char* p = begin; p < end;) {
    Lines->Add(p);
    p = std::find(p, end, '\r');
    if (p == end) break;
    *p++ = 0;
    if (p < end && *p == '\n') ++p;
  }
}

TStrListEx* NewStrListEx() {
  auto* list = new TStrListEx;
  list->Init();
  return list;
}

void TStrListEx::Init() {
  if (!Objects) Objects = NewList();
}

TStrListEx::~TStrListEx() {
  ClearStrings();
  if (Objects) Objects->Free();
  Objects = nullptr;
}

void TStrListEx::InsertString(int32_t index, std::string_view s) {
  InsertObject(index, s, nullptr);
}

void TStrListEx::InsertObject(int32_t index, std::string_view s, void* object) {
  if (index < 0 || index > Count) return;
  TStrList::InsertString(index, s);
  Init();
  // Lines from SetText came without objects: fill in none up to here.
  while (Objects->Count < index)
    Objects->Add(nullptr);
  Objects->Insert(index, object);
}

void TStrListEx::DeleteString(int32_t index) {
  if (index < 0 || index >= Count) return;
  TStrList::DeleteString(index);
  if (Objects) Objects->Delete(index);
}

void* TStrListEx::ObjectAt(int32_t index) const {
  if (!Objects || index >= Count) return nullptr;
  return Objects->Get(index);
}

int32_t TStrListEx::IndexOfObject(const void* object) const {
  return Objects ? Objects->IndexOf(object) : -1;
}

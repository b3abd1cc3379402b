#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list.h"
#include "obj.h"

namespace {

// Records its own destruction and the order of the notifications it sends.
std::vector<std::string> journal;

class Tracked : public TObj {
 protected:
  ~Tracked() override { journal.push_back("destroyed"); }
};

void Notify(void* data, TObj*) {
  journal.push_back(static_cast<const char*>(data));
}

class ObjLifetime : public ::testing::Test {
 protected:
  void SetUp() override { journal.clear(); }
};

}  // namespace

TEST_F(ObjLifetime, FreeWithoutReferencesDestroysAtOnce) {
  auto* obj = new Tracked;
  obj->Free();
  EXPECT_EQ(journal, std::vector<std::string>{"destroyed"});
}

TEST_F(ObjLifetime, FreeWhileReferencedWaitsForLastRelease) {
  auto* obj = new Tracked;
  obj->RefInc();
  obj->RefInc();
  obj->Free();
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(obj->RefCount, 3);
  obj->Free();  // a second Free while pending does nothing
  EXPECT_EQ(obj->RefCount, 3);
  obj->RefDec();
  EXPECT_TRUE(journal.empty());
  obj->RefDec();
  EXPECT_EQ(journal, std::vector<std::string>{"destroyed"});
}

TEST_F(ObjLifetime, ReleaseWithoutFreeKeepsObject) {
  auto* obj = new Tracked;
  obj->RefInc();
  obj->RefDec();
  EXPECT_TRUE(journal.empty());
  obj->Free();
  EXPECT_EQ(journal.size(), 1u);
}

TEST_F(ObjLifetime, DestroyEventThenNotificationsNewestFirst) {
  auto* obj = new Tracked;
  obj->OnDestroy = TOnEvent{Notify, const_cast<char*>("on destroy")};
  obj->AddFreeNotify(Notify, const_cast<char*>("older"));
  obj->AddFreeNotify(Notify, const_cast<char*>("newer"));
  obj->Free();
  // The derived part goes first, then the object part runs its events.
  EXPECT_EQ(journal, (std::vector<std::string>{"destroyed", "on destroy", "newer", "older"}));
}

namespace {
void FreeAgain(void*, TObj* sender) {
  sender->Free();
  sender->RefInc();
  sender->RefDec();
}
}  // namespace

TEST_F(ObjLifetime, FreeOrReleaseWhileGoingDoesNotDestroyTwice) {
  auto* obj = new Tracked;
  obj->OnDestroy = TOnEvent{FreeAgain, nullptr};
  obj->AddFreeNotify(FreeAgain, nullptr);
  obj->Free();
  EXPECT_EQ(journal, std::vector<std::string>{"destroyed"});
}

TEST_F(ObjLifetime, RemovedNotificationIsNotCalled) {
  auto* obj = new Tracked;
  obj->AddFreeNotify(Notify, const_cast<char*>("kept"));
  obj->AddFreeNotify(Notify, const_cast<char*>("removed"));
  obj->RemoveFreeNotify(Notify, const_cast<char*>("removed"));
  obj->Free();
  EXPECT_EQ(journal, (std::vector<std::string>{"destroyed", "kept"}));
}

TEST(List, GrowsByFixedStepAndKeepsOrder) {
  TList* list = NewList();
  std::vector<int> capacities;
  int values[10];
  for (int& value : values) {
    list->Add(&value);
    capacities.push_back(list->Capacity);
  }
  EXPECT_EQ(capacities, (std::vector<int>{4, 4, 4, 4, 8, 8, 8, 8, 12, 12}));
  EXPECT_EQ(list->IndexOf(&values[7]), 7);
  list->Insert(0, &values[9]);
  EXPECT_EQ(list->Get(0), &values[9]);
  EXPECT_EQ(list->Get(1), &values[0]);
  list->Remove(&values[9]);
  list->Remove(&values[9]);
  EXPECT_EQ(list->IndexOf(&values[9]), -1);
  EXPECT_EQ(list->Count, 9);
  list->Free();
}

TEST(List, OutOfRangeIndexesAnswerNoneOrDoNothing) {
  TList* list = NewList();
  int a = 0, b = 0, c = 0;
  list->Add(&a);
  list->Add(&b);
  list->Add(&c);
  EXPECT_EQ(list->Get(-1), nullptr);
  EXPECT_EQ(list->Get(3), nullptr);
  list->Insert(5, &a);
  list->Insert(-1, &a);
  EXPECT_EQ(list->Count, 3);
  list->DeleteRange(1, 100);  // cut to what is there
  EXPECT_EQ(list->Count, 1);
  list->DeleteRange(4, 1);
  list->DeleteRange(0, 0);
  EXPECT_EQ(list->Count, 1);
  list->AddBy = 0;  // repaired to 4 when growing
  list->Add(&b);
  list->SetCapacity(0);  // never below Count
  EXPECT_EQ(list->Capacity, 2);
  list->Free();
}

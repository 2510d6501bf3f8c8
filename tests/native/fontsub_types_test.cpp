// Unit tests of the font records: TFontList's order, bounds, stable records and face state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/fontsub_types.h"

namespace sorel {
namespace {

TEST(TFontList, AddAppendsARecordWithNothingWanted) {
  TFontList list;
  TFontStruct* first = list.Add("Arial", 238, 17);
  TFontStruct* second = list.Add("Arial", 204, 0);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0), first);
  EXPECT_EQ(list.Item(1), second);
  EXPECT_EQ(first->FaceName, "Arial");
  EXPECT_EQ(first->Charset, 238);
  EXPECT_EQ(first->Item, 17u);
  EXPECT_FALSE(first->Enabled);
  EXPECT_FALSE(first->WesternMapped);
}

TEST(TFontList, ItemOutsideTheListIsNothing) {
  TFontList list;
  EXPECT_EQ(list.Item(0), nullptr);
  list.Add("Arial", 238, 0);
  for (int index : {-1, 1, 2, -2147483647 - 1}) EXPECT_EQ(list.Item(index), nullptr) << index;
  EXPECT_NE(list.Item(0), nullptr);
}

// Tree nodes keep pointers to records while more are added.
TEST(TFontList, RecordsStayWhereTheyAreWhileTheListGrows) {
  TFontList list;
  std::vector<TFontStruct*> records;
  for (int i = 0; i < 5000; ++i) records.push_back(list.Add("Face", i, 0));
  for (int i = 0; i < 5000; ++i) {
    ASSERT_EQ(list.Item(i), records[i]);
    ASSERT_EQ(records[i]->Charset, i);
  }
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Item(0), nullptr);
}

TEST(TFontList, FaceStateOverTheRecordsOfThatExactFace) {
  const struct {
    const char* what;
    std::vector<bool> arialEnabled;  // the records of "Arial", 238, 204, 161...
    const char* asked;
    int state;
  } cases[] = {
      {"none enabled", {false, false}, "Arial", 0},
      {"all enabled", {true, true, true}, "Arial", 1},
      {"some enabled", {false, true}, "Arial", 2},
      {"the only one enabled", {true}, "Arial", 1},
      {"no record of that face", {true, true}, "Verdana", 0},
      {"letter case counts", {true, true}, "ARIAL", 0},
      {"a longer face is another face", {true}, "Arial Black", 0},
  };
  for (const auto& c : cases) {
    TFontList list;
    // Records of other faces around them must not count.
    list.Add("Arial Black", 238, 0)->Enabled = false;
    int charset = 161;
    for (bool enabled : c.arialEnabled) list.Add("Arial", charset++, 0)->Enabled = enabled;
    list.Add("arial", 238, 0)->Enabled = false;
    list.Add("Tahoma", 238, 0)->Enabled = true;
    EXPECT_EQ(list.FaceState(c.asked), c.state) << c.what;
  }
}

TEST(TFontList, FaceStateFollowsChangedFlags) {
  TFontList list;
  TFontStruct* greek = list.Add("Arial", 161, 0);
  TFontStruct* ce = list.Add("Arial", 238, 0);
  EXPECT_EQ(list.FaceState("Arial"), 0);
  ce->Enabled = true;
  EXPECT_EQ(list.FaceState("Arial"), 2);
  greek->Enabled = true;
  EXPECT_EQ(list.FaceState("Arial"), 1);
  greek->WesternMapped = true;  // the Western mark is not the script's state
  ce->Enabled = false;
  EXPECT_EQ(list.FaceState("Arial"), 2);
}

}  // namespace
}  // namespace sorel

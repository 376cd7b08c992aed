#include <gtest/gtest.h>

#include <memory>

#include "gfx/image_list.h"
#include "platform/components/component_errors.h"
#include "platform/components/name_table.h"
#include "platform/components/wave_list.h"

namespace kv {
namespace {

TPictureCollectionItem& addNamed(TPictureCollection& c, const std::string& name) {
  TPictureCollectionItem& item = c.Add();
  item.SetName(name);
  return item;
}

TEST(NameTable, HashesTheLowerCasedNameByLengthFirstAndSecondToLastCharacter) {
  EXPECT_EQ(NameTable::Hash(""), 0);
  EXPECT_EQ(NameTable::Hash("q"), 16);                             // one character: only the length counts
  EXPECT_EQ(NameTable::Hash("font"), (4 * 16 + 'f' + 'n') % 256);  // 20
  EXPECT_EQ(NameTable::Hash("FoNT"), NameTable::Hash("font"));
  EXPECT_EQ(NameTable::Hash("pocisk1"), (7 * 16 + 'p' + 'k') % 256);
  EXPECT_EQ(NameTable::Hash(std::string(300, 'a')), (300 * 16 + 2 * 'a') % 256);
  EXPECT_TRUE(NameTable::SameName("Trafiony", "tRAFIONY"));
  EXPECT_FALSE(NameTable::SameName("kolo", "kolo1"));
  EXPECT_FALSE(NameTable::SameName("a[", "A{"));  // only letters fold
}

TEST(PictureCollection, IndexOfFindsNamesInAnyCaseAndTheMostRecentlyNamedDuplicate) {
  TPictureCollection c;
  addNamed(c, "kolo");
  addNamed(c, "font");
  addNamed(c, "axc");
  addNamed(c, "axd");  // same bucket as "axc"
  EXPECT_EQ(c.IndexOf("FONT"), 1);
  EXPECT_EQ(c.IndexOf("Font"), 1);
  EXPECT_EQ(c.IndexOf("axc"), 2);
  EXPECT_EQ(c.IndexOf("AXD"), 3);
  EXPECT_EQ(c.IndexOf("fon"), -1);
  EXPECT_EQ(c.IndexOf(""), -1);

  addNamed(c, "Kolo");  // a duplicate named later wins
  EXPECT_EQ(c.IndexOf("kolo"), 4);
  c[0].SetName("KOLO");  // naming again puts the first one back in front
  EXPECT_EQ(c.IndexOf("kolo"), 0);

  c[1].SetName("czolg");  // renaming moves the entry to its new name
  EXPECT_EQ(c.IndexOf("font"), -1);
  EXPECT_EQ(c.IndexOf("czolg"), 1);
  EXPECT_EQ(c[1].Name(), "czolg");
}

TEST(PictureCollection, ItemsOutsideTheListRaiseWithTheIndexInTheMessage) {
  TPictureCollection c;
  addNamed(c, "a");
  addNamed(c, "b");
  EXPECT_EQ(&c.Items(1), &c[1]);
  for (int32_t bad : {-1, 2, 1000}) {
    try {
      c.Items(bad);
      ADD_FAILURE() << bad;
    } catch (const EListError& e) {
      EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(bad) + ")");
    }
  }
}

TEST(PictureCollection, DeletingKeepsStoredIndicesAndTheNameTableUpToDate) {
  TPictureCollection c;
  addNamed(c, "a");
  addNamed(c, "b");
  addNamed(c, "c");
  c.Delete(0);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.IndexOf("a"), -1);
  EXPECT_EQ(c.IndexOf("c"), 1);
  EXPECT_EQ(c[1].Index(), 1);
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.IndexOf("b"), -1);
}

TEST(PictureCollection, EntriesMadeOutsideTheCollectionJoinAndLeaveIt) {
  auto c = std::make_unique<TPictureCollection>();
  addNamed(*c, "owned");
  {
    TPictureCollectionItem local(*c);
    local.SetName("local");
    EXPECT_EQ(c->IndexOf("LOCAL"), 1);
    EXPECT_EQ(local.Index(), 1);
  }
  EXPECT_EQ(c->Count(), 1);
  EXPECT_EQ(c->IndexOf("local"), -1);

  // An entry that outlives its collection is only detached (the sanitizer checks the rest).
  auto survivor = std::make_unique<TPictureCollectionItem>(*c);
  c.reset();
  EXPECT_EQ(survivor->Index(), -1);
  survivor->SetName("still usable");
  EXPECT_EQ(survivor->Name(), "still usable");
}

TEST(WaveCollection, HoldsRecordingsByIndexAndNameWithTheirPlaySettings) {
  TDXWaveList list;
  TWaveCollectionItem& engine = list.Items().Add();
  engine.SetName("normalnie");
  EXPECT_FALSE(engine.Looped());
  EXPECT_EQ(engine.MaxPlayingCount(), 0);
  EXPECT_EQ(engine.PlayFrequency(), 0);
  EXPECT_EQ(engine.PlayPan(), 0);
  EXPECT_EQ(engine.PlayVolume(), 0);
  engine.SetLooped(true);
  engine.SetPlayFrequency(45000);
  engine.SetMaxPlayingCount(-5);
  EXPECT_EQ(engine.MaxPlayingCount(), 0);
  engine.SetMaxPlayingCount(3);
  EXPECT_EQ(engine.MaxPlayingCount(), 3);

  list.Items().Add().SetName("Trafiony");
  EXPECT_EQ(list.Items().IndexOf("trafiony"), 1);
  EXPECT_EQ(list.Items()[0].PlayFrequency(), 45000);
  EXPECT_TRUE(list.Items()[0].Looped());
  EXPECT_THROW(list.Items().Items(2), EListError);
}

}  // namespace
}  // namespace kv

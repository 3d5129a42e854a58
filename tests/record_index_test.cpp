#include "common/dbf/record_index.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace ludaro::dbf {
namespace {

// The lookup index against a plain map, through a long random run of rows
// taking, changing and dropping keys.
void RunAgainstMap(unsigned keyCount, unsigned rowCount) {
  std::vector<std::string> keyOfRow(rowCount);
  LookupIndex index([&](std::uint32_t row) { return keyOfRow[row]; });
  std::map<std::string, std::set<std::uint32_t>> model;
  std::mt19937 random(7);

  for (int step = 0; step < 4000; ++step) {
    const auto row = static_cast<std::uint32_t>(random() % keyOfRow.size());
    const std::string key = "k" + std::to_string(random() % keyCount);
    if (!keyOfRow[row].empty()) {
      index.Erase(keyOfRow[row], row);
      model[keyOfRow[row]].erase(row);
      keyOfRow[row].clear();
    }
    if (random() % 3 != 0) {
      keyOfRow[row] = key;
      index.Insert(key, row);
      model[key].insert(row);
    }
    std::vector<std::string> wanted(keyOfRow);
    wanted.push_back(key);
    for (const std::string& probe : wanted) {
      const auto rows = index.Find(probe);
      const std::vector<std::uint32_t> found(rows.begin(), rows.end());
      const auto& expected = model[probe];
      ASSERT_EQ(found, std::vector<std::uint32_t>(expected.begin(), expected.end()))
          << "key " << probe << " after step " << step;
    }
  }
}

// Seven rows hold at most seven keys, so the table keeps its 16 slots and
// probe runs of many different keys wrap around its end; fewer keys than rows
// give keys with several rows.
TEST(LookupIndexTest, AgreesWithAMapThroughInsertsAndErases) {
  for (const auto& [keyCount, rowCount] : {std::pair{5000u, 7u}, std::pair{40u, 64u}}) {
    SCOPED_TRACE(std::to_string(keyCount) + " keys");
    RunAgainstMap(keyCount, rowCount);
  }
}

TEST(LookupIndexTest, FindsNothingInAnEmptyIndexOrForAnUnknownKey) {
  std::vector<std::string> keyOfRow{"a"};
  LookupIndex index([&](std::uint32_t row) { return keyOfRow[row]; });
  EXPECT_TRUE(index.Find("a").empty());
  index.Erase("a", 0);
  index.Insert("a", 0);
  EXPECT_TRUE(index.Find("b").empty());
  EXPECT_EQ(index.Find("a").front(), 0u);
}

}  // namespace
}  // namespace ludaro::dbf

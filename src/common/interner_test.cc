#include "common/interner.h"

#include <gtest/gtest.h>

#include <string>

namespace common {
namespace {

// Enough texts to double the table several times, each doubling moving
// the bits between tag and number; then the table emptied and filled in
// another order keeps its room and numbers afresh.
TEST(InternerTest, NumbersSurviveGrowingAndClearing) {
  constexpr uint32_t kCount = 20000;
  auto text_of = [](uint32_t k) { return "w" + std::to_string(k * 7919u); };
  Interner interner;
  for (int round = 0; round < 2; ++round) {
    for (uint32_t k = 0; k < kCount; ++k) {
      const std::string text = text_of(round == 0 ? k : kCount - 1 - k);
      EXPECT_EQ(interner.Intern(text, HashBytes(text)), std::make_pair(k, true));
    }
    for (uint32_t k = 0; k < kCount; ++k) {
      const std::string text = text_of(round == 0 ? k : kCount - 1 - k);
      ASSERT_EQ(interner.Intern(text, HashBytes(text)), std::make_pair(k, false)) << text;
      ASSERT_EQ(interner.Find(text, HashBytes(text)), k) << text;
      ASSERT_EQ(interner.text(k), text);
    }
    EXPECT_EQ(interner.Find("absent", HashBytes("absent")), Interner::kNotFound);
    EXPECT_EQ(interner.size(), kCount);
    interner.Clear();
    EXPECT_EQ(interner.size(), 0u);
    EXPECT_EQ(interner.Find(text_of(0), HashBytes(text_of(0))), Interner::kNotFound);
  }
}

}  // namespace
}  // namespace common

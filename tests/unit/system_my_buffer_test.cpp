#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "system/my_buffer.h"

namespace orvello {
namespace {

bool AllZero(const CMyBuffer& b) {
  return std::all_of(b.data(), b.data() + b.capacity(), [](uint8_t v) { return v == 0; });
}

TEST(CMyBufferTest, StartsWithAZeroFilledKilobyteAndNothingInUse) {
  CMyBuffer b;
  EXPECT_EQ(b.capacity(), 1024u);
  EXPECT_EQ(b.size(), 0u);
  EXPECT_EQ(b.needed, 0u);
  EXPECT_TRUE(AllZero(b));
}

struct GrowStep {
  int64_t n;
  size_t size;
  size_t capacity;
};

// One buffer through a sequence of growths; before each step the whole
// capacity is dirtied, so every step must zero-fill all of it again.
TEST(CMyBufferTest, GrowthTable) {
  const GrowStep steps[] = {
      {10, 10, 1024},      // smaller than the capacity: no reallocation
      {1024, 1024, 1024},  // exactly the capacity
      {2000, 2000, 2000},  // larger: the capacity follows
      {5, 5, 2000},        // the capacity never shrinks
      {0, 0, 2000},        // zero: nothing in use
      {-7, 0, 2000},       // negative counts as zero
      {1048576, 1048576, 1048576},
  };
  CMyBuffer b;
  for (const GrowStep& step : steps) {
    SCOPED_TRACE(step.n);
    std::memset(b.data(), 0xAB, b.capacity());
    b.Grow(step.n);
    EXPECT_EQ(b.size(), step.size);
    EXPECT_EQ(b.capacity(), step.capacity);
    EXPECT_EQ(b.bytes().size(), step.size);
    EXPECT_TRUE(AllZero(b));
  }
}

}  // namespace
}  // namespace orvello

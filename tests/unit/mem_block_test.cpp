#include "log/mem_block.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/fake/fake_code_pages.h"

namespace orvello {
namespace {

bool AllZero(const CMemBlock& block) {
  return std::all_of(block.data(), block.data() + block.capacity(), [](uint8_t b) { return b == 0; });
}

struct SizeCase {
  size_t request;
  size_t capacity;
};

TEST(MemBlockPool, FreshBlocksGetTheirSizeClassZeroFilled) {
  const SizeCase cases[] = {
      {0, 1024},    {1, 1024},    {1024, 1024}, {1025, 2048}, {2048, 2048},
      {2049, 4096}, {4095, 4096}, {4096, 4096}, {4097, 4097}, {70000, 70000},
  };
  for (const SizeCase& c : cases) {
    CMemBlockPool pool;
    MemBlockPtr block = pool.AcquireBlock(c.request);
    ASSERT_NE(block, nullptr) << c.request;
    EXPECT_EQ(block->capacity(), c.capacity) << c.request;
    EXPECT_EQ(block->length(), c.request) << c.request;
    EXPECT_TRUE(AllZero(*block)) << c.request;
  }
}

TEST(MemBlockPool, ReleasedSmallBlockServesTheNextRequestItHolds) {
  CMemBlockPool pool;
  MemBlockPtr block = pool.AcquireBlock(1000);
  ASSERT_NE(block, nullptr);
  const CMemBlock* first = block.get();
  std::fill(block->data(), block->data() + block->capacity(), uint8_t{0xAB});
  pool.ReleaseBlock(std::move(block));
  EXPECT_EQ(pool.FreeCount(), 1u);

  MemBlockPtr again = pool.AcquireBlock(100);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again.get(), first);
  EXPECT_EQ(again->length(), 100u);
  EXPECT_TRUE(AllZero(*again)) << "a returned block is zero-filled";
  EXPECT_EQ(pool.FreeCount(), 0u);
}

TEST(MemBlockPool, FreeBlockTooSmallIsPassedOver) {
  CMemBlockPool pool;
  MemBlockPtr small = pool.AcquireBlock(10);
  const CMemBlock* smallAddress = small.get();
  pool.ReleaseBlock(std::move(small));

  MemBlockPtr bigger = pool.AcquireBlock(1500);
  ASSERT_NE(bigger, nullptr);
  EXPECT_NE(bigger.get(), smallAddress);
  EXPECT_EQ(bigger->capacity(), 2048u);
  EXPECT_EQ(pool.FreeCount(), 1u) << "the 1024-byte block stays free";
}

TEST(MemBlockPool, FirstFitTakesTheEarliestReleasedBlockThatHolds) {
  CMemBlockPool pool;
  MemBlockPtr a = pool.AcquireBlock(2000);  // 2048
  MemBlockPtr b = pool.AcquireBlock(500);   // 1024
  MemBlockPtr c = pool.AcquireBlock(2000);  // 2048
  const CMemBlock* aAddress = a.get();
  const CMemBlock* bAddress = b.get();
  const CMemBlock* cAddress = c.get();
  pool.ReleaseBlock(std::move(a));
  pool.ReleaseBlock(std::move(b));
  pool.ReleaseBlock(std::move(c));

  // The first free block is the 2048-byte one, though the 1024 one would do.
  EXPECT_EQ(pool.AcquireBlock(100).get(), aAddress);
  EXPECT_EQ(pool.AcquireBlock(1500).get(), cAddress);
  EXPECT_EQ(pool.AcquireBlock(100).get(), bAddress);
}

TEST(MemBlockPool, BlocksOf4096BytesOrMoreAreFreedNotPooled) {
  for (size_t request : {size_t{3000}, size_t{4096}, size_t{10000}}) {
    CMemBlockPool pool;
    MemBlockPtr block = pool.AcquireBlock(request);
    ASSERT_NE(block, nullptr);
    EXPECT_GE(block->capacity(), 4096u);
    pool.ReleaseBlock(std::move(block));
    EXPECT_EQ(pool.FreeCount(), 0u) << request;
  }
}

TEST(MemBlockPool, ReleasingNothingDoesNothing) {
  CMemBlockPool pool;
  pool.ReleaseBlock(nullptr);
  EXPECT_EQ(pool.FreeCount(), 0u);
}

class NarrowTextTest : public ::testing::Test {
 protected:
  fake::FakeCodePages codePages;
  CMemBlockPool pool;
};

TEST_F(NarrowTextTest, ConvertsToTheConvertersCodePage) {
  struct Case {
    uint32_t codePage;
    std::wstring wide;
    std::string narrow;
  };
  const Case cases[] = {
      {platform::kCodePageAnsi, L"192.168.1.20", "192.168.1.20"},
      {platform::kCodePageAnsi, L"Ünïcode €", "\xDCn\xEF" "code \x80"},
      {platform::kCodePageLatin1, L"打印机", "???"},
      {platform::kCodePageUtf8, L"打印机 Ü", "\xE6\x89\x93\xE5\x8D\xB0\xE6\x9C\xBA \xC3\x9C"},
      {platform::kCodePageUtf8, L"", ""},
  };
  for (const Case& c : cases) {
    CNarrowConverter converter(codePages, c.codePage, pool);
    std::string_view text = NarrowText(converter, c.wide);
    EXPECT_EQ(std::string(text), c.narrow);
    ASSERT_NE(converter.block(), nullptr);
    EXPECT_EQ(converter.block()->data()[text.size()], 0) << "NUL-terminated";
  }
}

TEST_F(NarrowTextTest, KeepsItsBlockWhileTheTextFits) {
  CNarrowConverter converter(codePages, platform::kCodePageUtf8, pool);
  NarrowText(converter, std::wstring(900, L'a'));
  const CMemBlock* first = converter.block();
  EXPECT_EQ(first->capacity(), 1024u);

  std::string_view shorter = NarrowText(converter, L"bc");
  EXPECT_EQ(converter.block(), first);
  EXPECT_EQ(shorter, "bc");
  EXPECT_EQ(first->data()[2], 0) << "the earlier, longer text is cleared";
  EXPECT_EQ(first->data()[899], 0);
  EXPECT_EQ(first->length(), 4u) << "text, terminator and one byte more";
}

TEST_F(NarrowTextTest, TradesItsBlockForALargerOne) {
  CNarrowConverter converter(codePages, platform::kCodePageUtf8, pool);
  NarrowText(converter, L"short");
  EXPECT_EQ(converter.block()->capacity(), 1024u);

  std::string_view text = NarrowText(converter, std::wstring(1500, L'x'));
  EXPECT_EQ(text.size(), 1500u);
  EXPECT_EQ(converter.block()->capacity(), 2048u);
  EXPECT_EQ(pool.FreeCount(), 1u) << "the small block went back to the pool";
}

TEST_F(NarrowTextTest, NeedsRoomForTheTextTheTerminatorAndOneByteMore) {
  struct Case {
    size_t length;
    size_t capacity;
  };
  // A 1024-byte block holds at most 1022 characters of text.
  const Case cases[] = {{0, 1024}, {1022, 1024}, {1023, 2048}, {2046, 2048}, {2047, 4096}, {4094, 4096}, {4095, 4097}};
  for (const Case& c : cases) {
    CNarrowConverter fresh(codePages, platform::kCodePageUtf8, pool);
    NarrowText(fresh, std::wstring(c.length, L'x'));
    EXPECT_EQ(fresh.block()->capacity(), c.capacity) << "fresh converter, " << c.length;

    CNarrowConverter reused(codePages, platform::kCodePageUtf8, pool);
    NarrowText(reused, L"short");
    NarrowText(reused, std::wstring(c.length, L'x'));
    EXPECT_EQ(reused.block()->capacity(), c.capacity) << "reused converter, " << c.length;
  }
}

TEST_F(NarrowTextTest, HandsItsBlockBackWhenDone) {
  {
    CNarrowConverter converter(codePages, platform::kCodePageUtf8, pool);
    NarrowText(converter, L"abc");
  }
  EXPECT_EQ(pool.FreeCount(), 1u);
}

}  // namespace
}  // namespace orvello

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "catalogue/value_syntax.h"

namespace orvello {
namespace {

struct BooleanCase {
  const char* text;
  bool whenEmpty;
  bool expected;
};

TEST(CatalogueSyntax, BooleanLooksAtTheFirstCharacterOnly) {
  const BooleanCase cases[] = {
      {"1", false, true},      {"T", false, true},      {"t", false, true},
      {"Y", false, true},      {"y", false, true},      {"true", false, true},
      {"yes", false, true},    {"10", false, true},     {"Tuesday", false, true},
      {"0", true, false},      {"false", true, false},  {"no", true, false},
      {"N", true, false},      {"2", true, false},      {"on", true, false},
      {" 1", true, false},     {"\t y", true, false},   {"x", true, false},
      {"", false, false},      {"", true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseBooleanText(c.text, c.whenEmpty), c.expected)
        << '"' << c.text << "\" with default " << c.whenEmpty;
  }
}

struct IntegerCase {
  std::string text;
  int32_t expected;
};

TEST(CatalogueSyntax, IntegerReadsSignDecimalAndHexAndSaturates) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const IntegerCase cases[] = {
      {"0", 0},
      {"42", 42},
      {"00012", 12},
      {"   42", 42},
      {"\t\r\n\v\f 7", 7},
      {"+5", 5},
      {"-5", -5},
      {"  -18", -18},
      {"0x1F", 31},
      {"0X1f", 31},
      {"0x0000000A", 10},
      {"-0x10", -16},
      {"+0x10", 16},
      {"2147483647", kMax},
      {"2147483648", kMax},
      {"-2147483648", kMin},
      {"-2147483649", kMin},
      {"99999999999999999999999999", kMax},
      {"-99999999999999999999999999", kMin},
      {"0x7FFFFFFF", kMax},
      {"0x80000000", kMax},
      {"0xFFFFFFFF", kMax},
      {"-0x80000000", kMin},
      {"0x123456789ABCDEF0123", kMax},
      // 2^64 + 1: a magnitude kept in a machine word would wrap round to 1.
      {"18446744073709551617", kMax},
      {"-18446744073709551617", kMin},
      {"0x10000000000000001", kMax},
      {"12abc", 12},
      {"3.9", 3},
      {"1e3", 1},
      {"18 ", 18},
      {"", 0},
      {"abc", 0},
      {"-", 0},
      {"+", 0},
      {"0x", 0},
      {"0xg", 0},
      {"x10", 0},
      {"- 5", 0},
      {"--5", 0},
      {std::string("7\0" "9", 3), 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseIntegerText(c.text), c.expected) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace orvello

#include "run/field_number.h"

#include <gtest/gtest.h>

#include <limits>

namespace tonvirke {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(ParseFieldNumber, FollowsTheFieldRules) {
  struct Case {
    const char* text;
    std::int64_t value;
  };
  const Case cases[] = {
      {"", 0},
      {"abc", 0},
      {"800", 800},
      {" 800", 800},
      {"\t 800", 800},
      {"800 Hz", 800},
      {"3 sändningar", 3},
      {"800.5", 800},  // ties to even
      {"801.5", 802},
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {"0.5", 0},
      {"0.51", 1},
      {"1,5", 1},  // a comma is no decimal point
      {"1e1", 10},
      {"1E1", 10},
      {"2.5e0", 2},
      {"16777217", 16777216},  // through single precision
      {"16777216", 16777216},
      {"123456789", 123456792},
      {"1e30", kMin},
      {"-1e30", kMin},
      {"9.3e18", kMin},
      {"-9.2233720e18", kMin},  // exactly -2^63 in single precision
      {"9.2e18", 9200000267938955264},
      {"1e400", kMin},
      {"1e-400", 0},
      {"inf", 0},
      {"infinity", 0},
      {"+INFINITY", kMin},
      {"-infinity", kMin},
      {"+Infinity ", 0},  // not the whole text: "+" alone is no number
      {"nan", kMin},
      {"NaN", kMin},
      {"0x10", 0},
      {"+5", 5},
      {"-5", -5},
      {"-", 0},
      {"+", 0},
      {".", 0},
      {".5", 0},
      {".6", 1},
      {"5.", 5},
      {"-.7", -1},
      {"1e", 1},
      {"1e+", 1},
      {"1e-", 1},
      {"2e-1", 0},
      {"--5", 0},
      {"5-", 5},
      {"００", 0},  // full-width digits are not decimal digits here
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseFieldNumber(QString::fromUtf8(c.text)), c.value) << '"' << c.text << '"';
  }
}

TEST(ParseFieldNumber, HugeTextsAreHandled) {
  EXPECT_EQ(ParseFieldNumber(QString(1048576, u'9')), kMin);
  EXPECT_EQ(ParseFieldNumber(QStringLiteral("0.") + QString(1048574, u'0') + u'1'), 0);
  EXPECT_EQ(ParseFieldNumber(QString(1048576, u' ')), 0);
}

}  // namespace
}  // namespace tonvirke

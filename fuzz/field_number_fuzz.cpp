// ParseFieldNumber against an independent reading of the field rules (regular expression,
// std::from_chars, explicit tie handling).

#include <QString>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <regex>
#include <string>

#include "run/field_number.h"

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

std::int64_t Reference(const QString& text) {
  const QString lower = text.toLower();
  if (lower == QLatin1String("+infinity") || lower == QLatin1String("-infinity") ||
      lower == QLatin1String("nan")) {
    return kMin;
  }
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace()) ++i;
  // Only ASCII can be part of a number: project the rest onto a character that is not.
  std::string ascii;
  for (qsizetype j = i; j < text.size(); ++j) {
    const char16_t c = text[j].unicode();
    ascii += c < 128 ? static_cast<char>(c) : '#';
  }
  static const std::regex number(R"(^([+-]?)((\d+\.?\d*)|(\.\d+))([eE][+-]?\d+)?)");
  std::smatch m;
  if (!std::regex_search(ascii, m, number)) return 0;
  const std::string unsignedPart = m.str(2) + m.str(5);
  double value = 0;
  const auto [end, ec] =
      std::from_chars(unsignedPart.data(), unsignedPart.data() + unsignedPart.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    // Decide between overflow and underflow from the decimal exponent of the first digit.
    const std::string mantissa = m.str(2);
    long long exponent = 0;
    if (!m.str(5).empty()) {
      const std::string e = m.str(5).substr(1);
      const bool negative = e[0] == '-';
      for (char c : e) {
        if (c >= '0' && c <= '9') exponent = std::min(exponent * 10 + (c - '0'), 1000000LL);
      }
      if (negative) exponent = -exponent;
    }
    long long lead = 0;  // position of the first non-zero digit relative to the point
    const auto point = mantissa.find('.');
    const long long intDigits =
        static_cast<long long>(point == std::string::npos ? mantissa.size() : point);
    const auto first = mantissa.find_first_of("123456789");
    lead = static_cast<long long>(first) < intDigits ? intDigits - static_cast<long long>(first)
                                                     : intDigits - static_cast<long long>(first);
    value = exponent + lead > 0 ? HUGE_VAL : 0.0;
  }
  if (m.str(1) == "-") value = -value;
  if (!(std::fabs(value) <= 3.4028235677973366e38)) return kMin;  // beyond float: infinity
  const float single = static_cast<float>(value);
  const long double f = single;
  long double r = std::floor(f);
  const long double frac = f - r;
  if (frac > 0.5L || (frac == 0.5L && std::fmod(r, 2.0L) != 0)) r += 1;
  if (r < -9223372036854775808.0L || r >= 9223372036854775808.0L) return kMin;
  return static_cast<std::int64_t>(r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (tonvirke::ParseFieldNumber(text) != Reference(text)) __builtin_trap();
  return 0;
}

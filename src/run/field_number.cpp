#include "run/field_number.h"

#include <locale.h>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace tonvirke {

namespace {

constexpr std::int64_t kUnusable = std::numeric_limits<std::int64_t>::min();

bool IsDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The longest prefix of `text` (from `at`) that is a decimal number, as ASCII; empty if none.
std::string LongestNumber(const QString& text, qsizetype at) {
  std::string out;
  qsizetype i = at;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    out += static_cast<char>(text[i].unicode());
    ++i;
  }
  bool digits = false;
  while (i < text.size() && IsDigit(text[i])) {
    out += static_cast<char>(text[i++].unicode());
    digits = true;
  }
  if (i < text.size() && text[i] == QLatin1Char('.')) {
    std::string fraction = ".";
    qsizetype j = i + 1;
    while (j < text.size() && IsDigit(text[j])) fraction += static_cast<char>(text[j++].unicode());
    if (digits || fraction.size() > 1) {
      out += fraction;
      i = j;
      digits = true;
    }
  }
  if (!digits) return {};
  if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
    std::string exponent = "e";
    qsizetype j = i + 1;
    if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
      exponent += static_cast<char>(text[j++].unicode());
    }
    const std::size_t before = exponent.size();
    while (j < text.size() && IsDigit(text[j])) exponent += static_cast<char>(text[j++].unicode());
    if (exponent.size() > before) out += exponent;
  }
  return out;
}

double ToDouble(const std::string& number) {
  // The C locale keeps "." the decimal point whatever the operator's regional settings say.
  static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  return strtod_l(number.c_str(), nullptr, c);
}

}  // namespace

std::int64_t ParseFieldNumber(const QString& text) {
  for (const char* word : {"+Infinity", "-Infinity", "NaN"}) {
    if (text.compare(QLatin1StringView(word), Qt::CaseInsensitive) == 0) return kUnusable;
  }
  qsizetype start = 0;
  while (start < text.size() && text[start].isSpace()) ++start;
  const std::string number = LongestNumber(text, start);
  const double value = number.empty() ? 0.0 : ToDouble(number);
  // Beyond this every value is out of the 64-bit range anyway; keeps the float cast defined.
  if (!(std::fabs(value) < 1e30)) return kUnusable;
  const float single = static_cast<float>(value);
  const double rounded = std::nearbyint(static_cast<double>(single));
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0)) return kUnusable;
  return static_cast<std::int64_t>(rounded);
}

}  // namespace tonvirke

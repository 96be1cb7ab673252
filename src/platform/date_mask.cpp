#include "platform/date_mask.h"

namespace tonvirke {

namespace {

QString TwoDigits(int value) {
  return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

bool TokenAt(const QString& mask, qsizetype at, QLatin1StringView token) {
  return QStringView(mask).mid(at, token.size()).compare(token, Qt::CaseInsensitive) == 0;
}

}  // namespace

QString FormatDateMask(const QString& mask, const DateTimeParts& when) {
  QString out;
  for (qsizetype i = 0; i < mask.size();) {
    if (mask[i] == QLatin1Char('%')) {
      if (TokenAt(mask, i, QLatin1StringView("%yyyy"))) {
        out += QStringLiteral("%1").arg(when.year, 4, 10, QLatin1Char('0'));
        i += 5;
        continue;
      }
      struct Token {
        const char* text;
        int value;
      };
      const Token tokens[] = {{"%mm", when.month},
                              {"%dd", when.day},
                              {"%hh", when.hour},
                              {"%ii", when.minute},
                              {"%ss", when.second}};
      bool matched = false;
      for (const Token& t : tokens) {
        if (TokenAt(mask, i, QLatin1StringView(t.text))) {
          out += TwoDigits(t.value);
          i += 3;
          matched = true;
          break;
        }
      }
      if (matched) continue;
    }
    out += mask[i];
    ++i;
  }
  return out;
}

}  // namespace tonvirke

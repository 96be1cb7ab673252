// Any settings file loads: no crash, no message, the file left as it was, and every value is
// what a plain reading of the line rules gives (the last matching line's text after column 9).

#include <unistd.h>
#include <QByteArray>
#include <QStringDecoder>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "fake/fake_platform.h"
#include "settings/settings_file.h"

namespace {

std::vector<QString> Lines(const std::string& bytes) {
  std::vector<std::string> raw(1);
  bool open = false;  // the current line has content or has not been ended yet
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n' || c == '\0') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      raw.emplace_back();
      open = false;
    } else {
      raw.back() += c;
      open = true;
    }
  }
  if (!open) raw.pop_back();  // a line end at the very end makes no extra line
  std::vector<QString> out;
  for (const std::string& r : raw) {
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                      QStringConverter::Flag::Stateless);
    out.push_back(decode(QByteArrayView(r.data(), static_cast<qsizetype>(r.size()))));
  }
  return out;
}

QString Expected(const std::vector<QString>& lines, const char* key) {
  QString value;
  for (const QString& line : lines) {
    QString field = line.left(9);
    while (field.endsWith(u' ')) field.chop(1);
    if (field == QLatin1String(key)) value = line.mid(9);
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool inTemp = [] {
    char pattern[] = "/tmp/tonvirke-fuzz-XXXXXX";
    return ::mkdtemp(pattern) != nullptr && ::chdir(pattern) == 0;
  }();
  if (!inTemp) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream("tonvirke.cnf", std::ios::binary | std::ios::trunc) << bytes;
  tonvirke::fake::FakePlatform fake;
  tonvirke::Program p(fake.facilities());
  tonvirke::LoadSettings(p);
  if (!fake.timeline.empty()) __builtin_trap();  // no message box
  std::ifstream in("tonvirke.cnf", std::ios::binary);
  const std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (back != bytes) __builtin_trap();
  // An empty file cannot be told from a missing one: it is read as it is, ten empty values.
  const std::vector<QString> lines = Lines(bytes);
  for (const auto& key : tonvirke::kSettingKeys) {
    if (p.Settings.*key.field != Expected(lines, key.key)) __builtin_trap();
  }
  return 0;
}

#include "settings/settings_file.h"

namespace tonvirke {

const std::array<SettingKey, 10> kSettingKeys = {{
    {"TN001", &KeyerSettings::ToneHz, "800"},
    {"TN002", &KeyerSettings::CharLengthMs, "50"},
    {"TN003", &KeyerSettings::MessageText, "TEST DE QX7ZAB ="},
    {"TN004", &KeyerSettings::CarrierMs, "4000"},
    {"TN005", &KeyerSettings::RepeatPauseMs, "2000"},
    {"TN006", &KeyerSettings::RepeatCount, "73"},
    {"TN007", &KeyerSettings::CarrierPauseMs, "1000"},
    {"TN008", &KeyerSettings::PortName, "COM1"},
    {"TN009", &KeyerSettings::StartTime, "2025-11-27 15:21"},
    {"TN010", &KeyerSettings::StopTime, "2025-11-30 09:30"},
}};

namespace {
constexpr qsizetype kKeyColumns = 9;
}

QString ReadSettingValue(Program& p, const QString& key) {
  auto file = p.fx.files.OpenRead(kSettingsFileName);
  if (!file) {
    p.fx.windows.ShowMessageBox(QStringLiteral("Information"),
                                QStringLiteral("Couldn't open the file"));
    return {};
  }
  QString value;
  while (!file->AtEnd()) {
    const QString line = file->ReadLine();
    QStringView keyField = QStringView(line).left(kKeyColumns);
    while (keyField.endsWith(QLatin1Char(' '))) keyField.chop(1);
    if (keyField == key) value = line.mid(kKeyColumns);
  }
  file->Close();
  return value;
}

void WriteSettingsFile(Program& p, TextFile& file) {
  for (int r = 1; r <= 10; ++r) {
    const QString& key = p.Table[r][1];
    const qsizetype pad = kKeyColumns - key.size();
    file.Write(pad > 0 ? key + QString(pad, QLatin1Char(' ')) : key);
    file.WriteLine(p.Table[r][2]);
  }
}

void StageSettings(Program& p, const KeyerSettings& values) {
  for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
    p.Table[i + 1][1] = QString::fromLatin1(kSettingKeys[i].key);
    p.Table[i + 1][2] = values.*kSettingKeys[i].field;
  }
}

void ClearSettingsTable(Program& p) {
  for (int r = 1; r <= 10; ++r) {
    p.Table[r][1].clear();
    p.Table[r][2].clear();
  }
}

void LoadSettings(Program& p) {
  if (auto probe = p.fx.files.OpenRead(kSettingsFileName)) {
    probe->Close();
  } else {
    KeyerSettings defaults;
    for (const SettingKey& k : kSettingKeys) defaults.*k.field = QString::fromUtf8(k.defaultValue);
    StageSettings(p, defaults);
    if (auto file = p.fx.files.OpenAppend(kSettingsFileName)) {
      WriteSettingsFile(p, *file);
      file->Close();
    }
    ClearSettingsTable(p);
  }
  for (const SettingKey& k : kSettingKeys) {
    p.Settings.*k.field = ReadSettingValue(p, QString::fromLatin1(k.key));
  }
}

}  // namespace tonvirke

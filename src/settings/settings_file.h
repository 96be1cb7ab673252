#pragma once
#include <QString>
#include <array>

#include "app/program.h"

namespace tonvirke {

inline const QString kSettingsFileName = QStringLiteral("tonvirke.cnf");

struct SettingKey {
  const char* key;
  QString KeyerSettings::*field;
  const char* defaultValue;
};

// Rows 1 to 10 of the file, in order.
extern const std::array<SettingKey, 10> kSettingKeys;

// The value of the last line carrying `key`; empty when none does or the file cannot be opened
// (which is reported in a message box).
QString ReadSettingValue(Program& p, const QString& key);
// Writes rows 1 to 10 of the settings table as key lines; does not close the file.
void WriteSettingsFile(Program& p, TextFile& file);
// Fills KeyerSettings from the file, first creating the file with the defaults if unreadable.
void LoadSettings(Program& p);
// Fills rows 1 to 10 with the keys and the given settings' values.
void StageSettings(Program& p, const KeyerSettings& values);
void ClearSettingsTable(Program& p);

}  // namespace tonvirke

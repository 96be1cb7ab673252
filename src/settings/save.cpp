#include "settings/save.h"

#include "settings/settings_file.h"

namespace tonvirke {

namespace {

struct SavedField {
  int control;
  QString KeyerSettings::*field;
};

const SavedField kSavedFields[] = {
    {26, &KeyerSettings::ToneHz},         {28, &KeyerSettings::CharLengthMs},
    {30, &KeyerSettings::MessageText},    {32, &KeyerSettings::CarrierMs},
    {34, &KeyerSettings::CarrierPauseMs}, {36, &KeyerSettings::RepeatPauseMs},
    {38, &KeyerSettings::RepeatCount},    {24, &KeyerSettings::PortName},
    {40, &KeyerSettings::StartTime},      {42, &KeyerSettings::StopTime},
};

}  // namespace

void SaveSettings(Program& p) {
  const KeyerSettings before = p.Settings;
  for (const SavedField& f : kSavedFields) p.Settings.*f.field = p.fx.windows.Text(f.control);
  StageSettings(p, p.Settings);
  bool saved = false;
  if (auto file = p.fx.files.Create(kSettingsFileName)) {
    WriteSettingsFile(p, *file);
    saved = file->Close();
  }
  if (!saved) {
    // Nothing reached the file: runs keep using what was loaded, and the typed values stay on
    // screen so the save can be retried.
    ClearSettingsTable(p);
    p.Settings = before;
    p.fx.windows.ShowMessageBox(QStringLiteral("Information"),
                                QStringLiteral("Couldn't save the file"));
    return;
  }
  p.fx.windows.CreateLabel(13, {130, 680, 200, 20}, QStringLiteral("Data är sparad"), false);
  if (p.fx.beep.Acquire()) {
    p.fx.beep.Beep(800, 300);
    p.fx.beep.Beep(600, 300);
    p.fx.beep.Release();
  }
  p.fx.windows.CreateLabel(13, {125, 680, 200, 20}, QStringLiteral(" "), false);
  ClearSettingsTable(p);
  p.fx.surface.EndDrawing();
  RebuildMainScreen(p);
}

}  // namespace tonvirke

#include "app/main_screen.h"

#include "app/program.h"
#include "settings/settings_file.h"

namespace tonvirke {

namespace {

enum class Kind { Label, BorderedLabel, Field, CapitalsField, Button };

struct ControlRow {
  int number;
  Kind kind;
  Rect where;
  const char16_t* text;             // fixed text, or null
  QString KeyerSettings::*setting;  // the setting a field shows, or null
  bool hint = false;                // font 1 in grey, for the two hint lines
};

// One control a row, in the order of creation.
// clang-format off
const ControlRow kControls[] = {
    {21, Kind::Label, {120, 140, 600, 20}, u"Fyll i alla fält med relevant information!", nullptr, true},
    {22, Kind::Label, {120, 170, 600, 20}, u"Avbryt ej färdig utsändning med Escape!", nullptr, true},
    {23, Kind::Label, {120, 250, 200, 20}, u"Comport", nullptr},
    {24, Kind::CapitalsField, {320, 250, 50, 20}, nullptr, &KeyerSettings::PortName},
    {25, Kind::Label, {120, 280, 200, 20}, u"Ton i Hertz", nullptr},
    {26, Kind::Field, {320, 280, 50, 20}, nullptr, &KeyerSettings::ToneHz},
    {27, Kind::Label, {120, 310, 200, 20}, u"Teckenlängd i mS", nullptr},
    {28, Kind::Field, {320, 310, 50, 20}, nullptr, &KeyerSettings::CharLengthMs},
    {29, Kind::Label, {120, 340, 200, 20}, u"Text du vill sända", nullptr},
    {30, Kind::CapitalsField, {320, 340, 900, 20}, nullptr, &KeyerSettings::MessageText},
    {14, Kind::Label, {120, 370, 200, 20}, u"Aktuell text som sänds just nu", nullptr},
    {12, Kind::BorderedLabel, {320, 370, 900, 20}, u"", nullptr},
    {31, Kind::Label, {120, 400, 200, 20}, u"Ev. bärvåg i mS före texten", nullptr},
    {32, Kind::Field, {320, 400, 50, 20}, nullptr, &KeyerSettings::CarrierMs},
    {33, Kind::Label, {120, 430, 200, 20}, u"Pause i mS mellan bärvåg och text", nullptr},
    {34, Kind::Field, {320, 430, 50, 20}, nullptr, &KeyerSettings::CarrierPauseMs},
    {35, Kind::Label, {120, 460, 200, 20}, u"Pause i mS mellan sändningarna", nullptr},
    {36, Kind::Field, {320, 460, 50, 20}, nullptr, &KeyerSettings::RepeatPauseMs},
    {37, Kind::Label, {120, 490, 200, 20}, u"Antal utsändningar du vill köra", nullptr},
    {38, Kind::Field, {320, 490, 50, 20}, nullptr, &KeyerSettings::RepeatCount},
    {19, Kind::Label, {120, 520, 200, 20}, u"Antal körda utsändningar ", nullptr},
    {20, Kind::BorderedLabel, {320, 520, 50, 20}, nullptr, nullptr},  // CounterText
    {9, Kind::Label, {420, 520, 200, 20}, u"", nullptr},
    {39, Kind::Label, {120, 550, 200, 20}, u"Start     åååå-mm-dd tt:mm", nullptr},
    {40, Kind::Field, {320, 550, 100, 20}, nullptr, &KeyerSettings::StartTime},
    {41, Kind::Label, {120, 580, 200, 20}, u"Stopp   åååå-mm-dd tt:mm", nullptr},
    {42, Kind::Field, {320, 580, 100, 20}, nullptr, &KeyerSettings::StopTime},
    {46, Kind::Button, {430, 550, 100, 20}, u"Aktuell dag/tid", nullptr},
    {45, Kind::Button, {120, 700, 100, 20}, u"Spara", nullptr},
    {47, Kind::Button, {250, 700, 100, 20}, u"Testa slingan", nullptr},
    {48, Kind::Button, {380, 700, 100, 20}, u"Kör n antal TX", nullptr},
    {49, Kind::Button, {510, 700, 100, 20}, u"Tid start/stopp", nullptr},
    {50, Kind::Button, {640, 700, 100, 20}, u"Information", nullptr},
    {52, Kind::Button, {1030, 700, 100, 20}, u"Avsluta", nullptr},
};
// clang-format on

}  // namespace

void BuildMainScreen(Program& p) {
  WindowSystem& w = p.fx.windows;
  const int width = static_cast<int>(p.ScreenWidth);
  const int height = static_cast<int>(p.ScreenHeight);
  w.OpenWindow(kMainWindow, {0, 0, width, height},
               QStringLiteral("Tonvirke version 053") + QString(90, QLatin1Char(' ')));
  w.AddTimer(kMainWindow, 123, 250);
  p.fx.surface.Open(kMainWindow, {0, 0, width, height});
  p.fx.surface.Clear({255, 255, 255});
  p.fx.surface.BeginDrawing();
  w.CreateLabel(11, {400, 30, 600, 30}, QStringLiteral("TONVIRKE by GRENOLIA"), false);
  w.SetFont(11, 4);
  w.SetTextColour(11, {100, 100, 255});

  LoadSettings(p);

  for (const ControlRow& row : kControls) {
    const QString text = row.setting != nullptr ? p.Settings.*row.setting
                         : row.text != nullptr  ? QString::fromUtf16(row.text)
                                                : p.CounterText;
    switch (row.kind) {
      case Kind::Label:
      case Kind::BorderedLabel:
        w.CreateLabel(row.number, row.where, text, row.kind == Kind::BorderedLabel);
        break;
      case Kind::Field:
      case Kind::CapitalsField:
        w.CreateField(row.number, row.where, text, row.kind == Kind::CapitalsField);
        break;
      case Kind::Button:
        w.CreateButton(row.number, row.where, text);
        break;
    }
    // Each setting's field, and each display of a run, is named by the caption before it.
    if (row.kind != Kind::Label && row.kind != Kind::Button && &row != kControls) {
      const ControlRow& caption = *(&row - 1);
      if (caption.kind == Kind::Label) w.SetLabelFor(caption.number, row.number);
    }
    if (row.hint) {
      w.SetFont(row.number, 1);
      w.SetTextColour(row.number, {100, 100, 100});
    }
  }
}

}  // namespace tonvirke

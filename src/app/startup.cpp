#include "app/startup.h"

#include "app/program.h"

namespace tonvirke {

void ShowError(Program& p, std::int64_t result, const QString& message) {
  if (static_cast<std::uint32_t>(result) != 0) return;
  p.fx.windows.ShowMessageBox(QStringLiteral("Error"), message);
  EndProgram(p);
}

void InitFacilities(Program& p) {
  ShowError(p, p.fx.surface.Init() ? 1 : 0, QStringLiteral("Ritytan kunde inte initialiseras."));
  ShowError(p, p.fx.keyboard.Init() ? 1 : 0,
            QStringLiteral("Tangentbordet kunde inte initialiseras."));
  for (const FontSpec& f : kFontTable) {
    p.fx.windows.LoadFont(f.number, QStringLiteral("Verdana"), f.points, f.bold, f.proof);
  }
}

void ReleaseFacilities(Program& p) {
  p.fx.sound.Shutdown();
  p.fx.serial.CloseAll();
  p.fx.surface.Close();
  p.fx.keyboard.Release();
  p.fx.windows.ReleaseAll();
}

}  // namespace tonvirke

#include "platform/real_platform.h"

#include <QApplication>

#include "app/program.h"
#include "platform/delay.h"
#include "platform/local_clock.h"
#include "platform/qt_windows.h"
#include "platform/sdl_sound.h"
#include "platform/serial_port.h"
#include "platform/sound_beep.h"
#include "platform/text_files.h"

namespace tonvirke {

int RunRealProgram(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tonvirke"));
  // The keyer decides when it ends; closing its last window is not the end.
  QApplication::setQuitOnLastWindowClosed(false);

  QtWindowSystem windows;
  QtDrawingSurface surface(windows);
  QtKeyboard keyboard(surface);
  RealDelay delay;
  delay.SetIdleWork([&windows](RealDelay::Deadline d) { windows.RepaintUntil(d); });
  delay.SetInputWait([&windows](RealDelay::Deadline d) { windows.WaitForInputUntil(d); });
  RealLocalClock clock;
  SdlSound sound;
  QtSerialPorts serial;
  SoundBeep beep(sound, delay);
  LocalTextFiles files;

  Program program({windows, surface, keyboard, delay, clock, sound, serial, beep, files});
  return RunProgram(program);
}

}  // namespace tonvirke

// Resources stay level: a hundred screen rebuilds and ten thousand transmissions on the real
// Qt windows (offscreen) leave the descriptors and resident memory where they were after the
// first.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/main_screen.h"
#include "app/program.h"
#include "fake/fake_platform.h"
#include "platform/delay.h"
#include "platform/local_clock.h"
#include "platform/qt_windows.h"
#include "platform/sdl_sound.h"
#include "platform/serial_port.h"
#include "platform/sound_beep.h"
#include "platform/text_files.h"
#include "run/run_modes.h"
#include "temp_dir.h"

namespace tonvirke {
namespace {

struct Usage {
  long descriptors;
  long residentKb;
};

Usage Now() {
  long pages = 0;
  long resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  const auto fds = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  return {static_cast<long>(fds), resident * sysconf(_SC_PAGESIZE) / 1024};
}

class Resources : public InTempDir {
 protected:
  fake::FakePlatform fake;
  QtWindowSystem windows;
  QtDrawingSurface surface{windows};
  RealDelay delay;
  RealLocalClock clock;
  SdlSound sound;
  QtSerialPorts serial;
  SoundBeep beep{sound, delay};
  LocalTextFiles files;
};

TEST_F(Resources, AHundredRebuildsHoldWhatTheFirstHeld) {
  Program p(Facilities{windows, surface, fake.keyboard, delay, clock, sound, serial, beep, files});
  p.ScreenWidth = 1280;
  p.ScreenHeight = 800;
  Usage first{};
  for (int i = 0; i < 100; ++i) {
    BuildMainScreen(p);
    QCoreApplication::processEvents();
    if (i == 4) first = Now();  // after the first few, once Qt's caches have filled
  }
  const Usage last = Now();
  std::printf("rebuilds: %ld descriptors, %ld kB after 5; %ld descriptors, %ld kB after 100\n",
              first.descriptors, first.residentKb, last.descriptors, last.residentKb);
  EXPECT_EQ(last.descriptors, first.descriptors);
  EXPECT_LT(last.residentKb - first.residentKb, 2048);
  EXPECT_EQ(windows.ControlCount(), 35u);  // the banner and the 34 controls, nothing left over
}

TEST_F(Resources, TenThousandTransmissionsHoldWhatTheFirstHeld) {
  setenv("SDL_AUDIODRIVER", "none", 1);  // no sound output: every element is skipped
  fake.recording = false;  // the fake surface would otherwise keep a timeline of every pump
  Program p(
      Facilities{windows, fake.surface, fake.keyboard, delay, clock, sound, serial, beep, files});
  p.ScreenWidth = 1280;
  p.ScreenHeight = 800;
  BuildMainScreen(p);
  auto set = [](const char* text) { return QString::fromUtf8(text); };
  windows.CreateField(28, {320, 310, 50, 20}, set("0"), false);
  windows.CreateField(30, {320, 340, 900, 20}, set("TEST DE QX7ZAB ="), true);
  windows.CreateField(32, {320, 400, 50, 20}, set("0"), false);
  windows.CreateField(36, {320, 460, 50, 20}, set("0"), false);
  windows.CreateField(38, {320, 490, 50, 20}, set("100"), false);
  RunRepeated(p);
  const Usage first = Now();
  windows.CreateField(38, {320, 490, 50, 20}, set("10000"), false);
  RunRepeated(p);
  const Usage last = Now();
  std::printf(
      "transmissions: %ld descriptors, %ld kB after 100; %ld descriptors, %ld kB after "
      "10,100\n",
      first.descriptors, first.residentKb, last.descriptors, last.residentKb);
  EXPECT_EQ(p.CounterText, QStringLiteral(" 10000"));
  EXPECT_EQ(last.descriptors, first.descriptors);
  EXPECT_LT(last.residentKb - first.residentKb, 2048);
  EXPECT_EQ(serial.OpenCount(), 0u);
  EXPECT_EQ(sound.HeldSounds(), 0u);
}

}  // namespace
}  // namespace tonvirke

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

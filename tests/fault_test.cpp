// Damaged settings files, unwritable folders and huge fields: defined results, no crash.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <random>

#include "app/main_screen.h"
#include "app/program.h"
#include "fake/fake_platform.h"
#include "run/run_modes.h"
#include "settings/settings_file.h"
#include "temp_dir.h"

namespace tonvirke {
namespace {

using fake::FakePlatform;
using Faults = InTempDir;

QByteArray RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  QByteArray out(static_cast<qsizetype>(n), '\0');
  for (char& c : out) c = static_cast<char>(rng() & 0xFF);
  return out;
}

TEST_F(Faults, DamagedSettingsFilesLoad) {
  struct Case {
    const char* name;
    QByteArray bytes;
    QString tone;  // what TN001 yields
  };
  QByteArray big = QByteArray("TN001    600\r\n") + QByteArray(10 * 1024 * 1024, 'z');
  const Case cases[] = {
      {"random bytes", RandomBytes(4096, 1), QString()},
      {"invalid UTF-8", "TN001    \xff\xfe\xc3\r\nTN003    \xe2\x82\r\n",
       QStringLiteral("\uFFFD\uFFFD\uFFFD")},
      {"NUL bytes",
       QByteArray("TN0\0"
                  "01    7\0TN001    900\0",
                  25),
       QStringLiteral("900")},
      {"10 MB", big, QStringLiteral("600")},
      {"only line ends", QByteArray(1000, '\n'), QString()},
      {"a lone surrogate in UTF-8", "TN001    \xed\xa0\x80", QStringLiteral("\uFFFD\uFFFD\uFFFD")},
  };
  for (const Case& c : cases) {
    WriteBytes("tonvirke.cnf", c.bytes);
    FakePlatform fake;
    Program p(fake.facilities());
    p.ScreenWidth = 1280;
    p.ScreenHeight = 800;
    BuildMainScreen(p);
    EXPECT_EQ(p.Settings.ToneHz, c.tone) << c.name;
    EXPECT_TRUE(fake.Lines({"msgbox"}).empty()) << c.name;
    EXPECT_EQ(ReadBytes("tonvirke.cnf").size(), c.bytes.size()) << c.name << ": left as it was";
  }
}

TEST_F(Faults, AFolderWithoutWritePermissionGivesTenBoxes) {
  std::filesystem::create_directory("locked");
  const int fd = ::open("locked", O_RDONLY);
  int flags = 0;
  ASSERT_EQ(::ioctl(fd, FS_IOC_GETFLAGS, &flags), 0);
  flags |= FS_IMMUTABLE_FL;
  ASSERT_EQ(::ioctl(fd, FS_IOC_SETFLAGS, &flags), 0) << "needs root on ext4 or tmpfs";
  std::filesystem::current_path("locked");
  FakePlatform fake;
  Program p(fake.facilities());
  p.Settings.ToneHz = QStringLiteral("stale");
  LoadSettings(p);
  std::filesystem::current_path("..");
  flags &= ~FS_IMMUTABLE_FL;
  ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
  ::close(fd);
  EXPECT_EQ(fake.Lines({"msgbox"}).size(), 10u);
  EXPECT_TRUE(p.Settings.ToneHz.isEmpty());
  EXPECT_FALSE(std::filesystem::exists("locked/tonvirke.cnf"));
}

TEST_F(Faults, FieldsOfAMillionCharactersRun) {
  FakePlatform fake;
  Program p(fake.facilities());
  p.ScreenWidth = 1280;
  p.ScreenHeight = 800;
  BuildMainScreen(p);
  const QString huge(1048576, u'9');
  for (int field : {26, 28, 32, 34, 36, 38}) fake.controls[field].text = huge;
  fake.controls[30].text = QString(1048576, u'!');  // no Morse code: passes without a sound
  fake.recording = false;
  RunTestTransmission(p);
  fake.recording = true;
  EXPECT_EQ(p.Run.ToneHz, std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(fake.now, 0) << "every number is unusable: nothing waits";
  EXPECT_EQ(fake.ControlText(9), QStringLiteral("Klart"));
  EXPECT_EQ(fake.controls[12].length, 1048577);
}

}  // namespace
}  // namespace tonvirke

#include <gtest/gtest.h>

#include <sys/file.h>

#include "fake/fake_platform.h"
#include "settings/settings_file.h"
#include "temp_dir.h"

namespace tonvirke {
namespace {

using fake::FakePlatform;
using SettingsFile = InTempDir;

const QByteArray kDefaultFile =
    "TN001    800\r\nTN002    50\r\nTN003    TEST DE QX7ZAB =\r\nTN004    4000\r\n"
    "TN005    2000\r\nTN006    73\r\nTN007    1000\r\nTN008    COM1\r\n"
    "TN009    2025-11-27 15:21\r\nTN010    2025-11-30 09:30\r\n";

std::vector<QString> Values(const KeyerSettings& s) {
  return {s.ToneHz,      s.CharLengthMs,   s.MessageText, s.CarrierMs, s.RepeatPauseMs,
          s.RepeatCount, s.CarrierPauseMs, s.PortName,    s.StartTime, s.StopTime};
}

const std::vector<QString> kDefaults = {"800",
                                        "50",
                                        "TEST DE QX7ZAB =",
                                        "4000",
                                        "2000",
                                        "73",
                                        "1000",
                                        "COM1",
                                        "2025-11-27 15:21",
                                        "2025-11-30 09:30"};

TEST_F(SettingsFile, FirstStartWritesTheDefaultsByteForByte) {
  FakePlatform fake;
  Program p(fake.facilities());
  LoadSettings(p);
  EXPECT_EQ(ReadBytes("tonvirke.cnf"), kDefaultFile);
  EXPECT_EQ(kDefaultFile.size(), 181);
  EXPECT_EQ(Values(p.Settings), kDefaults);
  EXPECT_TRUE(fake.Lines({"msgbox"}).empty());
  for (const auto& row : p.Table) {
    for (const QString& cell : row) EXPECT_TRUE(cell.isEmpty()) << "staging table emptied";
  }
}

TEST_F(SettingsFile, LinesAreReadByTheirKeyColumns) {
  struct Case {
    const char* name;
    QByteArray file;
    std::vector<QString> values;
  };
  auto with = [](std::initializer_list<std::pair<int, QString>> changes) {
    std::vector<QString> v = kDefaults;
    for (const auto& [i, s] : changes) v[i] = s;
    return v;
  };
  QByteArray lfOnly = kDefaultFile;
  lfOnly.replace("\r\n", "\n");
  const QByteArray tail = QByteArray(kDefaultFile).mid(kDefaultFile.indexOf("TN002"));
  const Case cases[] = {
      {"CR LF", kDefaultFile, kDefaults},
      {"LF only", lfOnly, kDefaults},
      {"byte-order mark", "\xef\xbb\xbf" + kDefaultFile, with({{0, ""}})},
      {"two spaces", "TN001  900\r\n" + tail, with({{0, ""}})},
      {"trailing spaces kept", "TN001    800   \r\n" + tail, with({{0, "800   "}})},
      {"five spaces", "TN001     800\r\n" + tail, with({{0, " 800"}})},
      {"lower-case key", "tn001    800\r\n" + tail, with({{0, ""}})},
      {"leading space", " TN001   800\r\n" + tail, with({{0, ""}})},
      {"duplicate key, last wins", kDefaultFile + "TN008    TTYUSB0\r\n", with({{7, "TTYUSB0"}})},
      {"exactly nine characters", "TN001    800\r\nTN002    \r\n" + tail.mid(tail.indexOf("TN003")),
       with({{1, ""}})},
      {"ÅÄÖ", QByteArray(kDefaultFile).replace("TEST DE QX7ZAB =", "\xc3\x85\xc3\x84\xc3\x96"),
       with({{2, QStringLiteral("ÅÄÖ")}})},
      {"missing key is empty, not the previous value",
       QByteArray(kDefaultFile).replace("TN002", "TN0X2"), with({{1, ""}})},
      {"no line ends, NUL inside",
       QByteArray("TN001    900\0TN006    5", 23),
       {"900", "", "", "", "", "5", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    WriteBytes("tonvirke.cnf", c.file);
    FakePlatform fake;
    Program p(fake.facilities());
    LoadSettings(p);
    EXPECT_EQ(Values(p.Settings), c.values) << c.name;
    EXPECT_EQ(ReadBytes("tonvirke.cnf"), c.file) << c.name << ": a readable file is not touched";
  }
}

TEST_F(SettingsFile, AFileHeldByAnotherProgramGivesTenBoxesAndEmptySettings) {
  WriteBytes("tonvirke.cnf", kDefaultFile);
  const int fd = ::open("tonvirke.cnf", O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  FakePlatform fake;
  Program p(fake.facilities());
  p.Settings.ToneHz = QStringLiteral("old");
  LoadSettings(p);
  ::close(fd);
  EXPECT_EQ(fake.Lines({"msgbox"}),
            std::vector<std::string>(10, "0 msgbox Information: Couldn't open the file"));
  EXPECT_EQ(Values(p.Settings), std::vector<QString>(10));
  EXPECT_EQ(ReadBytes("tonvirke.cnf"), kDefaultFile);
}

// Files that cannot be opened for reading but can be appended to (as for a write-only file).
class UnreadableFiles final : public TextFiles {
 public:
  std::unique_ptr<TextFile> OpenRead(const QString&) override { return nullptr; }
  std::unique_ptr<TextFile> Create(const QString& n) override { return real_.Create(n); }
  std::unique_ptr<TextFile> OpenAppend(const QString& n) override { return real_.OpenAppend(n); }

 private:
  LocalTextFiles real_;
};

TEST_F(SettingsFile, AnUnreadableFileGetsTheDefaultsAppended) {
  WriteBytes("tonvirke.cnf", "old\n");
  FakePlatform fake;
  UnreadableFiles files;
  Facilities fx = fake.facilities();
  Program p(Facilities{fx.windows, fx.surface, fx.keyboard, fx.delay, fx.clock, fx.sound, fx.serial,
                       fx.beep, files});
  LoadSettings(p);
  EXPECT_EQ(ReadBytes("tonvirke.cnf"), "old\n" + kDefaultFile);
  EXPECT_EQ(fake.Lines({"msgbox"}).size(), 10u);
}

TEST_F(SettingsFile, WriterPadsKeysToNineCharacters) {
  FakePlatform fake;
  Program p(fake.facilities());
  for (int r = 1; r <= 10; ++r) p.Table[r][1] = QStringLiteral("K");
  p.Table[1][1] = QStringLiteral("LONGERKEY10");
  p.Table[1][2] = QStringLiteral(" v ");
  p.Table[2][1] = QStringLiteral("NINECHARS");
  auto file = fake.files.Create(QStringLiteral("out"));
  WriteSettingsFile(p, *file);
  ASSERT_TRUE(file->Close());
  EXPECT_EQ(ReadBytes("out"),
            "LONGERKEY10 v \r\nNINECHARS\r\n" + QByteArray("K        \r\n").repeated(8));
}

}  // namespace
}  // namespace tonvirke

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include "app/main_screen.h"
#include "app/program.h"
#include "fake/fake_platform.h"
#include "run/info_window.h"
#include "screen_fixture.h"
#include "settings/save.h"

namespace tonvirke {
namespace {

using fake::FakePlatform;

class Save : public BuiltScreen {
 protected:
  // Saves; true when it ended in a rebuild, which is then performed.
  bool SaveAndRebuild() {
    try {
      SaveSettings(p);
    } catch (const RebuildRequest&) {
      BuildMainScreen(p);
      return true;
    }
    return false;
  }
};

TEST_F(Save, WritesTheFieldsInKeyOrderAndRebuildsFromTheFile) {
  SetField(26, QStringLiteral("700"));
  SetField(28, QString());
  SetField(30, QStringLiteral("  CQ DX  "));
  SetField(24, QStringLiteral("TTYUSB0"));
  SetField(40, QStringLiteral("when the sun sets"));
  SetField(42, QStringLiteral("2025-13-45 99:99"));
  SetField(36, QStringLiteral("ÅÄÖ"));
  ASSERT_TRUE(SaveAndRebuild());
  EXPECT_EQ(ReadBytes("tonvirke.cnf"),
            QByteArray("TN001    700\r\nTN002    \r\nTN003      CQ DX  \r\nTN004    4000\r\n"
                       "TN005    \xc3\x85\xc3\x84\xc3\x96\r\nTN006    73\r\nTN007    1000\r\n"
                       "TN008    TTYUSB0\r\nTN009    when the sun sets\r\n"
                       "TN010    2025-13-45 99:99\r\n"));
  EXPECT_EQ(fake.Lines({"beep"}), (std::vector<std::string>{"0 beep 800 300", "300 beep 600 300"}));
  const auto labels = fake.Lines({"label"});
  EXPECT_EQ(labels[0], "0 label 13 130,680,200,20 \"Data är sparad\"");
  EXPECT_EQ(labels[1], "600 label 13 125,680,200,20 \" \"");
  EXPECT_EQ(fake.ControlText(28), QString());
  EXPECT_EQ(fake.ControlText(30), QStringLiteral("  CQ DX  "));
  EXPECT_EQ(fake.ControlText(36), QStringLiteral("ÅÄÖ"));
  EXPECT_EQ(p.Settings.PortName, QStringLiteral("TTYUSB0"));
  EXPECT_FALSE(fake.Has(13)) << "the rebuilt screen has no confirmation label";
  for (const auto& row : p.Table) {
    for (const QString& cell : row) EXPECT_TRUE(cell.isEmpty());
  }
}

TEST_F(Save, ReplacesALongerOldFileCompletely) {
  WriteBytes("tonvirke.cnf", QByteArray(5000, 'x'));
  SetField(30, QStringLiteral("E"));
  ASSERT_TRUE(SaveAndRebuild());
  const QByteArray file = ReadBytes("tonvirke.cnf");
  EXPECT_FALSE(file.contains('x'));
  EXPECT_TRUE(file.startsWith("TN001    800\r\nTN002    50\r\nTN003    E\r\n"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1) << "no temp left";
}

TEST_F(Save, WithoutABeepItSavesSilently) {
  fake.beepAvailable = false;
  ASSERT_TRUE(SaveAndRebuild());
  EXPECT_TRUE(fake.Lines({"beep"}).empty());
}

// Sets or clears the immutable attribute, which even root cannot write through.
bool SetImmutable(const char* path, bool on) {
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  ::close(fd);
  return ok;
}

TEST_F(Save, AFailedSaveIsReportedAndLosesNothing) {
  enum class How { ReadOnlyFile, ReadOnlyDirectory, FullDisk };
  for (How how : {How::ReadOnlyFile, How::ReadOnlyDirectory, How::FullDisk}) {
    std::filesystem::create_directory("sub");
    const auto home = std::filesystem::current_path();
    bool mounted = false;
    if (how == How::FullDisk) {
      mounted = ::mount("tmpfs", "sub", "tmpfs", 0, "size=16k") == 0;
      ASSERT_TRUE(mounted) << "a small tmpfs stands for a full disk; this test runs as root";
    }
    std::filesystem::current_path("sub");
    FakePlatform local;
    Program q(local.facilities());
    q.ScreenWidth = 1280;
    q.ScreenHeight = 800;
    BuildMainScreen(q);
    const QByteArray before = ReadBytes("tonvirke.cnf");
    const KeyerSettings loaded = q.Settings;
    const char* locked = how == How::ReadOnlyFile ? "tonvirke.cnf" : ".";
    if (how != How::FullDisk) {
      ASSERT_TRUE(SetImmutable(locked, true));
    }
    local.controls[26].text = QStringLiteral("900");
    local.controls[24].text = QStringLiteral("TTYUSB0");
    local.controls[30].text = QString(how == How::FullDisk ? 40000 : 10, u'E');
    local.timeline.clear();
    bool rebuilt = false;
    try {
      SaveSettings(q);
    } catch (const RebuildRequest&) {
      rebuilt = true;
    }
    if (how != How::FullDisk) SetImmutable(locked, false);
    const QByteArray after = ReadBytes("tonvirke.cnf");
    const auto entries = std::distance(std::filesystem::directory_iterator("."), {});
    std::filesystem::current_path(home);
    if (mounted) ::umount("sub");
    std::filesystem::remove_all("sub");

    const int c = static_cast<int>(how);
    EXPECT_FALSE(rebuilt) << c;
    EXPECT_EQ(after, before) << c << ": the old file is unchanged";
    EXPECT_EQ(entries, 1) << c << ": no temporary file left";
    EXPECT_EQ(local.Lines({"msgbox"}),
              std::vector<std::string>{"0 msgbox Information: Couldn't save the file"})
        << c;
    EXPECT_TRUE(local.Lines({"beep", "label"}).empty()) << c << ": no confirmation";
    EXPECT_EQ(local.ControlText(26), QStringLiteral("900")) << c << ": typed values stay";
    EXPECT_EQ(q.Settings.PortName, loaded.PortName) << c << ": runs keep the loaded port";
    for (const auto& row : q.Table) {
      for (const QString& cell : row) EXPECT_TRUE(cell.isEmpty()) << c;
    }
  }
}

TEST_F(Save, InformationWindowTextsAndItsOwnLoop) {
  fake.events = {{EventCode::Control, 47, 100, {}},
                 {EventCode::Close, 0, 100, {}},
                 {EventCode::Timer, 0, 1000, {}},
                 {EventCode::Control, 66, 100, {}}};
  fake.escapeDown = [](int, std::int64_t) { return true; };
  EXPECT_THROW(ShowInfoWindow(p), RebuildRequest);
  const std::vector<std::string> expected = {
      "0 window 53 0,0,600,600",
      "0 label 54 230,30,300,30 \"Information\"",
      "0 label 55 40,70,550,20 \"Följande morsetecken hanteras av programmet.\"",
      "0 label 56 40,100,550,20 \"A .-   B -...   C -.-.   D -..   E .     F ..-.   G --.   "
      "H ....   I ..   J .---   K -.-   L .-..   M --   N -.   O ---   P .--.\"",
      "0 label 57 40,120,550,20 \"Q --.-   R .-.   S ...   T -   U ..-   V ...-   W .--   "
      "X -..-   Y -.--   Z --..   Å .--.-   Ä .-.-   Ö ---.   @ .--.-.\"",
      "0 label 58 40,140,550,20 \"1 .----   2 ..---   3 ...--   4 ....-    5 .....   "
      "6 -....   7 --...   8 ---..   9 ----.   0 -----\"",
      "0 label 59 40,160,550,20 \"(.) .-.-.-   (,) --..--   (-) -....-   (=) -...-   "
      "(+) .-.-.   (*) ...-.-   (/) -..-.   (?) ..--..\"",
      "0 label 60 40,190,550,20 \"För att styra en sändare används pin 4 och pin 5 i det "
      "seriella uttaget.\"",
      "0 label 61 40,210,550,20 \"Pin 5 är jord och pin 4 är DTR. DTR sätts hög när ett "
      "tecken skall sändas och lite beroende på ditt \"",
      "0 label 62 40,230,550,20 \"RS-232 kort kan antal volt skilja. Du behöver "
      "förmodligen en diod för att hantera den positiva delen\"",
      "0 label 63 40,250,550,20 \"av signalen. Din nycklingsenhet bygger du runt en lite "
      "kraftigare transistor, inga konstigheter där!\"",
      "0 label 64 40,270,550,20 \"Lämna fältet för kommunikationsporten tomt om du inte "
      "vill nyckla via den!\"",
      "0 label 65 40,400,550,20 \"\"",
      "0 button 66 250,550,100,20 \"Avsluta Info\"",
      "0 label 17 950,30,300,40 \"2025-11-27 15:21:07\"",
      "1200 label 17 950,30,300,40 \"2025-11-27 15:21:08\"",
      "1300 close 53",
  };
  EXPECT_EQ(fake.Lines({"window", "label", "button", "close"}), expected);
  EXPECT_EQ(fake.controls[17].window, 7) << "the clock stays in the main window";
  EXPECT_EQ(fake.examinations, 0) << "Escape is not examined while the window is open";
  EXPECT_TRUE(fake.Lines({"tone", "wait"}).empty()) << "main-window buttons start nothing";
  EXPECT_EQ(fake.drawingDepth, 0);
}

TEST_F(Save, InformationWindowShowsEveryTableEntryWithItsCode) {
  fake.events = {{EventCode::Control, 66, 0, {}}};
  EXPECT_THROW(ShowInfoWindow(p), RebuildRequest);
  QString all;
  for (const auto& e : fake.timeline) {
    if (e.kind == "label") all += QString::fromStdString(e.text) + u' ';
  }
  for (const char* pair : {"A .-", "Å .--.-", "Ö ---.", "@ .--.-.", "0 -----", "(-) -....-",
                           "(,) --..--", "(*) ...-.-", "(?) ..--.."}) {
    EXPECT_TRUE(all.contains(QString::fromUtf8(pair))) << pair;
  }
}

}  // namespace
}  // namespace tonvirke

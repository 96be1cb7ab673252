#include <gtest/gtest.h>

#include "app/program.h"
#include "fake/fake_platform.h"
#include "temp_dir.h"

namespace tonvirke {
namespace {

using fake::FakePlatform;
using StartupTest = InTempDir;

// Escape seen held at the first examination and released at the second ends the program.
void EndOnEscape(FakePlatform& fake) {
  fake.escapeDown = [](int examination, std::int64_t) { return examination == 1; };
  fake.events = {{EventCode::Timer, 0, 250, {}}, {EventCode::Timer, 0, 250, {}}};
}

TEST_F(StartupTest, FailedInitialisationShowsOneErrorBoxAndEndsWithZero) {
  struct Case {
    bool surfaceFails;
    bool keyboardFails;
    const char* message;
  };
  for (const Case& c : {Case{true, false, "Error: Ritytan kunde inte initialiseras."},
                        Case{false, true, "Error: Tangentbordet kunde inte initialiseras."},
                        Case{true, true, "Error: Ritytan kunde inte initialiseras."}}) {
    FakePlatform fake;
    fake.surfaceInitFails = c.surfaceFails;
    fake.keyboardInitFails = c.keyboardFails;
    Program p(fake.facilities());
    EXPECT_EQ(RunProgram(p), 0);
    EXPECT_EQ(fake.Lines({"msgbox"}),
              std::vector<std::string>{std::string("0 msgbox ") + c.message});
    EXPECT_TRUE(fake.Lines({"window", "font"}).empty()) << "no window, no fonts";
    EXPECT_EQ(fake.Lines({"release"}).size(), 1u);
  }
}

TEST_F(StartupTest, StartsWithFontsThenTheMainScreenAndEndsOnEscape) {
  FakePlatform fake;
  EndOnEscape(fake);
  Program p(fake.facilities());
  EXPECT_EQ(RunProgram(p), 0);
  EXPECT_EQ(p.ScreenWidth, 1280);
  EXPECT_EQ(p.ScreenHeight, 800);
  const std::vector<std::string> fonts = {
      "0 font 0 Verdana 7 normal proof", "0 font 1 Verdana 10 bold", "0 font 2 Verdana 12 bold",
      "0 font 3 Verdana 14 bold",        "0 font 4 Verdana 16 bold",
  };
  EXPECT_EQ(fake.Lines({"font"}), fonts);
  EXPECT_EQ(fake.Lines({"window"}), std::vector<std::string>{"0 window 7 0,0,1280,800"});
  EXPECT_EQ(fake.Lines({"release", "sound"}),
            (std::vector<std::string>{"500 sound shutdown", "500 release all"}));
  for (const auto& row : p.Table) {
    for (const QString& cell : row) EXPECT_TRUE(cell.isEmpty());
  }
}

}  // namespace
}  // namespace tonvirke

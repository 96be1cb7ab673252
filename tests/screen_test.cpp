#include <gtest/gtest.h>

#include "app/clock.h"
#include "app/main_screen.h"
#include "app/program.h"
#include "fake/fake_platform.h"
#include "platform/date_mask.h"
#include "temp_dir.h"

namespace tonvirke {
namespace {

using fake::FakePlatform;
using fake::ScriptedEvent;

class Screen : public InTempDir {
 protected:
  // Two timer ticks: Escape is down at the first pass's examination and up at the second's.
  void ThenEscape() {
    fake.escapeDown = [this](int, std::int64_t) { return escapeHeld_; };
    fake.events.push_back({EventCode::Timer, 0, 250, [this] { escapeHeld_ = true; }});
    fake.events.push_back({EventCode::Timer, 0, 250, [this] { escapeHeld_ = false; }});
  }
  void Click(int control, std::function<void()> before = {}) {
    fake.events.push_back({EventCode::Control, control, 100, std::move(before)});
  }
  FakePlatform fake;
  Program p{fake.facilities()};

 private:
  bool escapeHeld_ = false;
};

TEST_F(Screen, MainScreenHasEveryControlInOrder) {
  p.ScreenWidth = 1280;
  p.ScreenHeight = 800;
  p.CounterText = QStringLiteral(" 7");
  BuildMainScreen(p);
  const std::vector<std::string> expected = {
      "0 window 7 0,0,1280,800",
      "0 timer 7 123 250",
      "0 surface 7 0,0,1280,800",
      "0 label 11 400,30,600,30 \"TONVIRKE by GRENOLIA\"",
      "0 label 21 120,140,600,20 \"Fyll i alla fält med relevant information!\"",
      "0 label 22 120,170,600,20 \"Avbryt ej färdig utsändning med Escape!\"",
      "0 label 23 120,250,200,20 \"Comport\"",
      "0 field 24 320,250,50,20 capitals \"COM1\"",
      "0 label 25 120,280,200,20 \"Ton i Hertz\"",
      "0 field 26 320,280,50,20 \"800\"",
      "0 label 27 120,310,200,20 \"Teckenlängd i mS\"",
      "0 field 28 320,310,50,20 \"50\"",
      "0 label 29 120,340,200,20 \"Text du vill sända\"",
      "0 field 30 320,340,900,20 capitals \"TEST DE QX7ZAB =\"",
      "0 label 14 120,370,200,20 \"Aktuell text som sänds just nu\"",
      "0 label 12 320,370,900,20 sunken \"\"",
      "0 label 31 120,400,200,20 \"Ev. bärvåg i mS före texten\"",
      "0 field 32 320,400,50,20 \"4000\"",
      "0 label 33 120,430,200,20 \"Pause i mS mellan bärvåg och text\"",
      "0 field 34 320,430,50,20 \"1000\"",
      "0 label 35 120,460,200,20 \"Pause i mS mellan sändningarna\"",
      "0 field 36 320,460,50,20 \"2000\"",
      "0 label 37 120,490,200,20 \"Antal utsändningar du vill köra\"",
      "0 field 38 320,490,50,20 \"73\"",
      "0 label 19 120,520,200,20 \"Antal körda utsändningar \"",
      "0 label 20 320,520,50,20 sunken \" 7\"",
      "0 label 9 420,520,200,20 \"\"",
      "0 label 39 120,550,200,20 \"Start     åååå-mm-dd tt:mm\"",
      "0 field 40 320,550,100,20 \"2025-11-27 15:21\"",
      "0 label 41 120,580,200,20 \"Stopp   åååå-mm-dd tt:mm\"",
      "0 field 42 320,580,100,20 \"2025-11-30 09:30\"",
      "0 button 46 430,550,100,20 \"Aktuell dag/tid\"",
      "0 button 45 120,700,100,20 \"Spara\"",
      "0 button 47 250,700,100,20 \"Testa slingan\"",
      "0 button 48 380,700,100,20 \"Kör n antal TX\"",
      "0 button 49 510,700,100,20 \"Tid start/stopp\"",
      "0 button 50 640,700,100,20 \"Information\"",
      "0 button 52 1030,700,100,20 \"Avsluta\"",
  };
  EXPECT_EQ(fake.Lines({"window", "timer", "surface", "label", "field", "button"}), expected);
  EXPECT_EQ(fake.windows[7], QStringLiteral("Tonvirke version 053") + QString(90, u' '));
  // Every field, and each run display, is named by the caption to its left.
  EXPECT_EQ(fake.Lines({"labelfor"}),
            (std::vector<std::string>{"0 labelfor 23 24", "0 labelfor 25 26", "0 labelfor 27 28",
                                      "0 labelfor 29 30", "0 labelfor 14 12", "0 labelfor 31 32",
                                      "0 labelfor 33 34", "0 labelfor 35 36", "0 labelfor 37 38",
                                      "0 labelfor 19 20", "0 labelfor 39 40", "0 labelfor 41 42"}));
  EXPECT_EQ(fake.drawingDepth, 1) << "drawing stays begun while the screen is shown";
  struct Styled {
    int number;
    int font;
    Colour colour;
  };
  for (const Styled& s : {Styled{11, 4, {100, 100, 255}}, Styled{21, 1, {100, 100, 100}},
                          Styled{22, 1, {100, 100, 100}}, Styled{23, -1, {-1, -1, -1}},
                          Styled{26, -1, {-1, -1, -1}}}) {
    EXPECT_EQ(fake.controls[s.number].font, s.font) << s.number;
    EXPECT_EQ(fake.controls[s.number].colour, s.colour) << s.number;
  }
}

TEST_F(Screen, ClockChangesOnlyWithTheSecondAndAlwaysInTheMainWindow) {
  fake.windowSystem.OpenWindow(7, {0, 0, 1280, 800}, QString());
  UpdateClock(p);
  EXPECT_EQ(fake.ControlText(17), QStringLiteral("2025-11-27 15:21:07"));
  EXPECT_EQ(fake.controls[17].font, 4);
  EXPECT_EQ(fake.controls[17].colour, (Colour{100, 100, 100}));
  fake.now += 900;  // still 15:21:07
  UpdateClock(p);
  EXPECT_EQ(fake.Lines({"label"}).size(), 1u);
  fake.windowSystem.OpenWindow(53, {0, 0, 600, 600}, QString());
  fake.now += 100;
  UpdateClock(p);
  EXPECT_EQ(fake.controls[17].window, 7);
  EXPECT_EQ(fake.currentWindow, 53);
  EXPECT_EQ(p.ClockLastShown, QStringLiteral("15:21:08"));
  // Midnight changes the date with the time.
  fake.start = QDateTime(QDate(2025, 11, 27), QTime(23, 59, 59), Qt::UTC);
  fake.now = 1000;
  UpdateClock(p);
  EXPECT_EQ(fake.ControlText(17), QStringLiteral("2025-11-28 00:00:00"));
}

TEST(DateMask, TokensInEitherCaseAndEverythingElseCopied) {
  const DateTimeParts at{2025, 11, 27, 15, 21, 7};
  const struct {
    const char* mask;
    const char* text;
  } cases[] = {
      {"%yyyy-%mm-%dd %hh:%ii", "2025-11-27 15:21"},
      {"%hh:%ii:%ss", "15:21:07"},
      {"%hh:%ii", "15:21"},
      {"%YYYY-%MM-%DD %HH:%II:%SS", "2025-11-27 15:21:07"},
      {"%x %% %y %yyy 100%", "%x %% %y %yyy 100%"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateMask(QString::fromUtf8(c.mask), at), QString::fromUtf8(c.text)) << c.mask;
  }
  EXPECT_EQ(FormatDateMask(QStringLiteral("%mm/%dd %hh:%ii"), {2026, 3, 1, 9, 5, 0}),
            QStringLiteral("03/01 09:05"));
}

TEST_F(Screen, EscapeReleasedInTheLoopEndsTheProgram) {
  ThenEscape();
  EXPECT_EQ(RunProgram(p), 0);
  EXPECT_TRUE(fake.events.empty());
  EXPECT_TRUE(fake.windows.empty());
}

TEST_F(Screen, CloseRequestsAndFieldEventsChangeNothing) {
  fake.events.push_back({EventCode::Close, 0, 10, {}});
  for (int control : {26, 30, 12, 21, 99}) Click(control);
  ThenEscape();
  EXPECT_EQ(RunProgram(p), 0);
  EXPECT_EQ(fake.Lines({"window"}).size(), 1u);
  EXPECT_EQ(fake.Lines({"close"}).empty(), true) << "window 7 was never closed before the end";
}

TEST_F(Screen, QuitClosesTheMainWindowAndEnds) {
  Click(52);
  Click(47);  // never reached
  EXPECT_EQ(RunProgram(p), 0);
  EXPECT_EQ(fake.Lines({"close"}), std::vector<std::string>{"100 close 7"});
  EXPECT_EQ(fake.events.size(), 1u);
}

TEST_F(Screen, CurrentTimeFillsStartAndStopWithTwoDigitParts) {
  fake.start = QDateTime(QDate(2026, 3, 1), QTime(9, 5, 30), Qt::UTC);
  Click(46);
  ThenEscape();
  EXPECT_EQ(RunProgram(p), 0);
  const std::vector<std::string> fields = {"100 field 40 320,550,100,20 \"2026-03-01 09:05\"",
                                           "100 field 42 320,580,100,20 \"2026-03-01 09:05\""};
  auto lines = fake.Lines({"field"});
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()), fields);
}

TEST_F(Screen, RebuildKeepsCounterAndClockAndDropsTheRest) {
  Click(30, [this] { fake.controls[30].text = QStringLiteral("UNSAVED"); });
  Click(50);  // the information window
  Click(47);  // ignored while it is open
  Click(66);  // "Avsluta Info": rebuild
  ThenEscape();
  p.CounterText = QStringLiteral(" 3");
  std::size_t controlsAfterFirstBuild = 0;
  fake.events.front().before = [this, &controlsAfterFirstBuild] {
    controlsAfterFirstBuild = fake.controls.size();
    fake.controls[30].text = QStringLiteral("UNSAVED");
  };
  EXPECT_EQ(RunProgram(p), 0);
  EXPECT_EQ(fake.Lines({"window"}),
            (std::vector<std::string>{"0 window 7 0,0,1280,800", "200 window 53 0,0,600,600",
                                      "400 window 7 0,0,1280,800"}));
  const auto labels = fake.Lines({"label"});
  EXPECT_EQ(std::count(labels.begin(), labels.end(), "400 label 20 320,520,50,20 sunken \" 3\""),
            1);
  EXPECT_TRUE(fake.Lines({"tone", "wait"}).empty()) << "no run started from the info window";
  EXPECT_EQ(p.ClockLastShown, QStringLiteral("15:21:07"));
  EXPECT_GT(controlsAfterFirstBuild, 30u);
}

TEST_F(Screen, AHundredRebuildsHoldNoMoreThanTheFirst) {
  std::vector<std::size_t> controls;
  for (int i = 0; i < 100; ++i) {
    // The clock label comes and goes with the second; everything else must stay level.
    Click(50, [this, &controls] { controls.push_back(fake.controls.size() - fake.Has(17)); });
    Click(66);
  }
  ThenEscape();
  EXPECT_EQ(RunProgram(p), 0);
  ASSERT_EQ(controls.size(), 100u);
  EXPECT_EQ(controls.front(), controls.back());
  EXPECT_EQ(fake.windows.size(), 0u);
  EXPECT_EQ(fake.drawingDepth, 1) << "every rebuild ended the drawing it had begun";
}

}  // namespace
}  // namespace tonvirke

#include <gtest/gtest.h>

#include "app/program.h"
#include "fake/fake_platform.h"
#include "run/run_modes.h"
#include "screen_fixture.h"

namespace tonvirke {
namespace {

using fake::FakePlatform;

// A built main screen with quick timing: U = 10, no carrier, no pauses, message "E".
class Runs : public BuiltScreen {
 protected:
  void SetUp() override {
    BuiltScreen::SetUp();
    SetField(28, "10");
    SetField(30, "E");
    SetField(32, "0");
    SetField(34, "0");
    SetField(36, "0");
  }
  void SetField(int number, const char* text) {
    BuiltScreen::SetField(number, QString::fromUtf8(text));
  }
  std::vector<std::string> Labels(int number) const { return fake.LabelPlacements(number); }
  // The status texts of the transmissions sent, one per transmission.
  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    std::string last;
    for (const auto& e : fake.timeline) {
      if (e.kind == "label" && e.text.find("Meddelande nr") != e.text.npos) last = e.text;
      if (e.kind == "label" && e.text.find("Pause mellan") != e.text.npos) {
        out.push_back(
            last.substr(last.find("nr ") + 3, last.find(" s\xC3\xA4nds") - last.find("nr ") - 3));
      }
    }
    return out;
  }
};

TEST_F(Runs, RepeatCountGivesThatManyTransmissions) {
  struct Case {
    const char* count;
    std::size_t sent;
  };
  for (const Case& c : {Case{"0", 0}, Case{"-5", 0}, Case{"", 0}, Case{"abc", 0}, Case{"2.5", 2},
                        Case{"3.5", 4}, Case{"1e1", 10}, Case{"3 gånger", 3}}) {
    fake.timeline.clear();
    SetField(38, c.count);
    RunRepeated(p);
    EXPECT_EQ(Sent().size(), c.sent) << c.count;
    const auto run = Labels(16);
    EXPECT_EQ(run.front(), "16 385,680,200,20 \"Nu k\xC3\xB6rs n antal TX\"") << c.count;
    EXPECT_EQ(run.back(), "16 385,680,200,20 \" \"") << c.count;
    EXPECT_EQ(Labels(9).back(), "9 390,520,200,20 \"Klart\"") << c.count;
    EXPECT_EQ(Labels(20).size(), c.sent) << c.count;
    if (c.sent > 0) {
      EXPECT_EQ(Sent().front(), "1");
      EXPECT_EQ(Sent().back(), std::to_string(c.sent));
      EXPECT_EQ(Labels(20).back(), "20 320,520,50,20 sunken \" " + std::to_string(c.sent) + "\"");
      EXPECT_EQ(p.Run.TransmissionNumber, static_cast<std::int64_t>(c.sent) + 1);
    }
  }
  EXPECT_EQ(p.CounterText, QStringLiteral(" 3"));
}

TEST_F(Runs, TestRunSendsOnceAndLeavesTheCounter) {
  SetField(38, "5");
  p.CounterText = QStringLiteral(" 9");
  RunTestTransmission(p);
  EXPECT_EQ(Sent(), std::vector<std::string>{"1"});
  EXPECT_EQ(Labels(15), (std::vector<std::string>{
                            "15 255,680,200,20 \"Testk\xC3\xB6rning p\xC3\xA5g\xC3\xA5r\"",
                            "15 255,680,200,20 \" \""}));
  EXPECT_TRUE(Labels(20).empty());
  EXPECT_EQ(p.CounterText, QStringLiteral(" 9"));
  EXPECT_EQ(Labels(9).back(), "9 390,520,200,20 \"Klart\"");
  EXPECT_TRUE(fake.Lines({"beep"}).empty());
}

TEST_F(Runs, RunsReadTheFieldsAndTheLoadedPortAndTimes) {
  SetField(26, "700");
  SetField(24, "EDITED");  // not saved: the run keys the loaded port
  fake.workingPorts = {QStringLiteral("COM1")};
  RunTestTransmission(p);
  EXPECT_EQ(fake.Lines({"tone", "dtr"}), (std::vector<std::string>{"0 tone on 705.882", "0 dtr up",
                                                                   "10 tone off", "10 dtr down"}));
}

struct WindowCase {
  const char* name;
  QDateTime now;
  const char* start;
  const char* stop;
  std::int64_t transmissionMs;  // via the pause between transmissions
  std::size_t sent;
  std::int64_t firstAt;  // when the first transmission begins
};

TEST_F(Runs, TimeWindow) {
  const QDate day(2025, 11, 27);
  const WindowCase cases[] = {
      {"start in the past, empty stop", QDateTime(day, QTime(15, 21, 7), Qt::UTC),
       "2025-11-27 15:20", "", 0, 1, 500},
      {"start now, stop passed", QDateTime(day, QTime(15, 21, 7), Qt::UTC), "2025-11-27 15:21",
       "2025-11-27 15:00", 0, 1, 500},
      {"empty start", QDateTime(day, QTime(15, 21, 7), Qt::UTC), "", "", 0, 1, 500},
      {"begins 09:29:50, one more after it",
       QDateTime(QDate(2025, 11, 30), QTime(9, 29, 50), Qt::UTC), "", "2025-11-30 09:30", 50000, 2,
       500},
      {"waits for the start minute", QDateTime(day, QTime(15, 20, 58), Qt::UTC), "2025-11-27 15:21",
       "", 0, 1, 2000},
      {"hour without a leading zero waits until midnight",
       QDateTime(day, QTime(23, 59, 30), Qt::UTC), "2025-11-27 9:30", "", 0, 1, 30000},
      {"trailing space waits a minute more", QDateTime(day, QTime(15, 21, 7), Qt::UTC),
       "2025-11-27 15:21 ", "", 0, 1, 53000},
      {"stop minute reached by the second", QDateTime(day, QTime(15, 21, 7), Qt::UTC), "",
       "2025-11-27 15:22", 40000, 3, 500},
  };
  for (const WindowCase& c : cases) {
    fake.timeline.clear();
    fake.now = 0;
    fake.start = c.now;
    p.Settings.StartTime = QString::fromUtf8(c.start);
    p.Settings.StopTime = QString::fromUtf8(c.stop);
    SetField(36, std::to_string(c.transmissionMs).c_str());
    RunTimeWindow(p);
    EXPECT_EQ(fake.Lines({"beep"}), std::vector<std::string>{"0 beep 800 500"}) << c.name;
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), c.sent) << c.name;
    EXPECT_EQ(sent.front(), "0") << c.name;
    EXPECT_EQ(Labels(20).front(), "20 320,520,50,20 sunken \" 1\"") << c.name;
    EXPECT_EQ(Labels(9).back(), "9 390,520,200,20 \"Klart\"") << c.name;
    std::int64_t first = -1;
    for (const auto& e : fake.timeline) {
      if (e.kind == "tone") {
        first = e.t;
        break;
      }
    }
    EXPECT_EQ(first, c.firstAt) << c.name;
    // The wait sleeps from one second to the next, not in a busy loop.
    EXPECT_LE(fake.Lines({"idle"}).size(), static_cast<std::size_t>(c.firstAt / 1000 + 1))
        << c.name;
    EXPECT_EQ(Labels(9)[0], "9 515,680,200,20 \"Inv\xC3\xA4ntar starttid\"") << c.name;
    EXPECT_EQ(Labels(9)[1], "9 515,680,200,20 \"" + std::string(17, ' ') + "\"") << c.name;
  }
}

TEST_F(Runs, EscapeWhileWaitingForTheStartAbandonsTheRun) {
  fake.start = QDateTime(QDate(2025, 11, 27), QTime(15, 0, 0), Qt::UTC);
  p.Settings.StartTime = QStringLiteral("2025-11-27 15:21");
  fake.escapeDown = [](int examination, std::int64_t) { return examination == 3; };
  EXPECT_THROW(RunTimeWindow(p), RebuildRequest);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(fake.Lines({"tone"}).empty());
  for (const auto& l : Labels(9)) EXPECT_EQ(l.find("Klart"), std::string::npos);
  EXPECT_EQ(fake.drawingDepth, 0);
}

TEST_F(Runs, EscapeDuringTheFourthTransmissionLeavesThreeCounted) {
  bool quit = false;
  // Held at the first dot of the fourth transmission (400 ms), up at its second (450 ms).
  fake.escapeDown = [&quit](int, std::int64_t t) { return t == 400 || quit; };
  fake.events.push_back({EventCode::Control, 48, 100, [this] {
                           SetField(28, "10");
                           SetField(30, "EE");
                           SetField(32, "0");
                           SetField(36, "0");
                         }});
  fake.events.push_back({EventCode::Timer, 0, 250, [&quit] { quit = true; }});
  fake.events.push_back({EventCode::Timer, 0, 250, [&quit] { quit = false; }});
  EXPECT_EQ(RunProgram(p), 0);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(fake.Lines({"window"}).back(), "450 window 7 0,0,1280,800");
  EXPECT_EQ(Labels(20).back(), "20 320,520,50,20 sunken \" 3\"") << "shown by the rebuilt screen";
  for (const auto& l : Labels(9)) EXPECT_EQ(l.find("Klart"), std::string::npos);
  EXPECT_EQ(fake.Lines({"tone"}).size(), 2u * 7) << "seven dots, none after the Escape";
  EXPECT_EQ(fake.liveSounds, 0);
}

TEST_F(Runs, WithoutABeepTheWindowRunGoesOnAtOnce) {
  fake.beepAvailable = false;
  p.Settings.StartTime.clear();
  p.Settings.StopTime.clear();
  RunTimeWindow(p);
  EXPECT_TRUE(fake.Lines({"beep"}).empty());
  EXPECT_EQ(Sent().size(), 1u);
}

}  // namespace
}  // namespace tonvirke

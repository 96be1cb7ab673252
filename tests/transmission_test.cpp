#include <gtest/gtest.h>

#include "app/program.h"
#include "fake/fake_platform.h"
#include "morse/transmission.h"

namespace tonvirke {
namespace {

using fake::FakePlatform;

struct Transmitter {
  Transmitter() {
    fake.workingPorts = {QStringLiteral("COM1")};
    fake.windowSystem.OpenWindow(7, {0, 0, 1280, 800}, QString());
    fake.timeline.clear();
    p.Settings.PortName = QStringLiteral("COM1");
    p.Run = {800, 50, QStringLiteral("TEST DE QX7ZAB ="), 4000, 1000, 2000, 73, 1};
  }
  // Without the clock, which follows the virtual seconds.
  std::vector<std::string> Lines() const {
    auto lines = fake.Lines({"label", "tone", "dtr", "wait", "present", "take"});
    std::erase_if(lines, [](const std::string& l) { return l.find(" label 17 ") != l.npos; });
    return lines;
  }
  std::vector<std::string> LabelTexts(int number) const { return fake.LabelPlacements(number); }
  FakePlatform fake;
  Program p{fake.facilities()};
};

TEST(Transmission, DefaultTransmissionInOrder) {
  Transmitter t;
  SendTransmission(t.p);
  const auto lines = t.Lines();
  const std::vector<std::string> head = {
      "0 label 10 390,400,200,20 \"Bärvåg i 4000 millisekunder\"",
      "0 tone on 800",
      "0 dtr up",
      "0 wait 4000",
      "4000 tone off",
      "4000 dtr down",
      "4000 label 10 390,400,200,20 \"\"",
      "4000 label 10 390,430,200,20 \"Paus mellan bärvåg och text\"",
      "4000 wait 1000",
      "5000 label 10 390,430,200,20 \"\"",
      "5000 label 9 390,490,200,20 \"Meddelande nr 1 sänds ut\"",
      "5000 label 12 320,370,800,20 sunken \" T\"",
      "5000 tone on 800",
      "5000 dtr up",
      "5000 wait 150",
  };
  const std::vector<std::string> tail = {
      "13400 label 9 390,490,200,20 \"\"",
      "13400 label 9 390,460,200,20 \"Pause mellan utsändningarna\"",
      "13400 wait 2000",
      "15400 label 9 390,460,200,20 \"\"",
      "15400 present ",
      "15400 take ",
      "15400 present ",
      "15400 take ",
  };
  ASSERT_GT(lines.size(), head.size() + tail.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + head.size()), head);
  EXPECT_EQ(std::vector<std::string>(lines.end() - tail.size(), lines.end()), tail);
  const auto sent = t.LabelTexts(12);
  ASSERT_EQ(sent.size(), 16u);
  EXPECT_EQ(sent.back(), "12 320,370,800,20 sunken \" TEST DE QX7ZAB =\"");
  EXPECT_EQ(t.LabelTexts(9).size(), 16u + 3);
  EXPECT_EQ(t.fake.ControlText(12), QStringLiteral(" TEST DE QX7ZAB =")) << "kept after the end";
  EXPECT_EQ(t.fake.drawingDepth, 0) << "drawing ended and begun again in pairs";
}

TEST(Transmission, DurationsAndLabelsInTheSpecialCases) {
  struct Case {
    const char* name;
    std::int64_t carrier;
    const char* message;
    bool noSound;
    bool notAccepted;
    std::int64_t repeatPause;
    std::int64_t duration;
    std::size_t carrierLabels;
    std::size_t sentLabels;
  };
  const Case cases[] = {
      {"default", 4000, "TEST DE QX7ZAB =", false, false, 2000, 15400, 4, 16},
      {"no carrier", 0, "E", false, false, 2000, 2250, 0, 1},
      {"negative carrier", -10, "E", false, false, 2000, 2250, 0, 1},
      {"only unkeyable characters", 0, "abc", false, false, 2000, 2000, 0, 3},
      {"empty message", 4000, "", false, false, 2000, 7000, 4, 0},
      // Only the character and word gaps and the pause take time; the carrier text stays.
      {"no sound output", 4000, "TEST DE QX7ZAB =", true, false, 2000, 5000, 1, 16},
      // No carrier time, but its texts and pause follow; the element gaps are kept.
      {"sound not accepted", 4000, "E", false, true, 2000, 3200, 4, 1},
      {"negative pause", 0, "", false, false, -5, 0, 0, 0},
  };
  for (const Case& c : cases) {
    Transmitter t;
    t.p.Run.CarrierMs = c.carrier;
    t.p.Run.MessageText = QString::fromUtf8(c.message);
    t.p.Run.RepeatPauseMs = c.repeatPause;
    t.fake.noSoundOutput = c.noSound;
    t.fake.soundNotAccepted = c.notAccepted;
    SendTransmission(t.p);
    EXPECT_EQ(t.fake.now, c.duration) << c.name;
    EXPECT_EQ(t.LabelTexts(10).size(), c.carrierLabels) << c.name;
    EXPECT_EQ(t.LabelTexts(12).size(), c.sentLabels) << c.name;
    EXPECT_EQ(t.fake.Lines({"present"}).size(), 2u) << c.name;
  }
}

TEST(Transmission, ClockIsUpdatedBeforeEveryCharacter) {
  Transmitter t;
  t.p.Run.CarrierMs = 0;
  t.p.Run.MessageText = QStringLiteral("EEEEEEEE");  // 250 ms each: the second changes
  SendTransmission(t.p);
  // Characters begin at 0, 250, ... 1750 ms: the clock shows 15:21:07, then :08 from 1000 ms.
  EXPECT_EQ(t.LabelTexts(17),
            (std::vector<std::string>{"17 950,30,300,40 \"2025-11-27 15:21:07\"",
                                      "17 950,30,300,40 \"2025-11-27 15:21:08\""}));
}

TEST(Transmission, HugeValuesDoNotOverflow) {
  Transmitter t;
  t.fake.noSoundOutput = true;
  t.p.Run.CharLengthMs = std::numeric_limits<std::int64_t>::min();
  t.p.Run.RepeatPauseMs = std::numeric_limits<std::int64_t>::min();
  t.p.Run.TransmissionNumber = std::numeric_limits<std::int64_t>::min();
  SendTransmission(t.p);
  EXPECT_EQ(t.fake.now, 0);
  EXPECT_EQ(t.LabelTexts(9)[0], "9 390,490,200,20 \"Meddelande nr -9223372036854775808 sänds ut\"");
}

}  // namespace
}  // namespace tonvirke

#include <gtest/gtest.h>

#include "app/program.h"
#include "fake/fake_platform.h"
#include "morse/keying.h"
#include "morse/morse_table.h"

namespace tonvirke {
namespace {

using fake::FakePlatform;

struct Keyer {
  explicit Keyer(std::int64_t u = 50, const char* port = "COM9") {
    fake.workingPorts = {QStringLiteral("COM9")};
    p.Run.ToneHz = 800;
    p.Settings.PortName = QString::fromUtf8(port);
    SetUnit(u);
  }
  void SetUnit(std::int64_t u) {
    p.Timing = {u, SaturatingMul(3, u), u, SaturatingMul(3, u), SaturatingMul(7, u)};
  }
  void Send(const QString& text) {
    for (QChar c : text) EncodeCharacter(p, c.unicode());
  }
  // Dots and dashes as heard: each tone's length against U.
  std::string Heard(std::int64_t u) const {
    std::string out;
    std::int64_t on = -1;
    for (const auto& e : fake.timeline) {
      if (e.kind != "tone") continue;
      if (e.text.rfind("on", 0) == 0) {
        on = e.t;
      } else {
        out += (e.t - on) == u ? '.' : (e.t - on) == 3 * u ? '-' : '?';
      }
    }
    return out;
  }
  FakePlatform fake;
  Program p{fake.facilities()};
};

TEST(Keying, TestAtFiftyMillisecondsFollowsTheWorkedExample) {
  Keyer k;
  k.Send(QStringLiteral("TEST"));
  EXPECT_EQ(k.fake.now, 1400);
  const std::vector<std::string> expected = {
      "0 tone on 800",   "0 dtr up",         "0 wait 150",      "150 tone off",
      "150 dtr down",    "150 wait 50",      "200 wait 150",    "350 tone on 800",
      "350 dtr up",      "350 wait 50",      "400 tone off",    "400 dtr down",
      "400 wait 50",     "450 wait 150",     "600 tone on 800", "600 dtr up",
      "600 wait 50",     "650 tone off",     "650 dtr down",    "650 wait 50",
      "700 tone on 800", "700 dtr up",       "700 wait 50",     "750 tone off",
      "750 dtr down",    "750 wait 50",      "800 tone on 800", "800 dtr up",
      "800 wait 50",     "850 tone off",     "850 dtr down",    "850 wait 50",
      "900 wait 150",    "1050 tone on 800", "1050 dtr up",     "1050 wait 150",
      "1200 tone off",   "1200 dtr down",    "1200 wait 50",    "1250 wait 150",
  };
  EXPECT_EQ(k.fake.Lines({"tone", "dtr", "wait"}), expected);
  EXPECT_EQ(k.fake.liveSounds, 0);
  EXPECT_EQ(k.fake.openPorts, 0);
}

TEST(Keying, EveryTableEntryKeysItsElementsInItsUnits) {
  struct Row {
    char16_t c;
    const char* elements;
    int units;
  };
  const Row rows[] = {
      {u'A', ".-", 9},         {u'B', "-...", 13},      {u'C', "-.-.", 15},
      {u'D', "-..", 11},       {u'E', ".", 5},          {u'F', "..-.", 13},
      {u'G', "--.", 13},       {u'H', "....", 11},      {u'I', "..", 7},
      {u'J', ".---", 17},      {u'K', "-.-", 13},       {u'L', ".-..", 13},
      {u'M', "--", 11},        {u'N', "-.", 9},         {u'O', "---", 15},
      {u'P', ".--.", 15},      {u'Q', "--.-", 17},      {u'R', ".-.", 11},
      {u'S', "...", 9},        {u'T', "-", 7},          {u'U', "..-", 11},
      {u'V', "...-", 13},      {u'W', ".--", 13},       {u'X', "-..-", 15},
      {u'Y', "-.--", 17},      {u'Z', "--..", 15},      {u'\u00C5', ".--.-", 19},
      {u'\u00C4', ".-.-", 15}, {u'\u00D6', "---.", 17}, {u'1', ".----", 21},
      {u'2', "..---", 19},     {u'3', "...--", 17},     {u'4', "....-", 15},
      {u'5', ".....", 13},     {u'6', "-....", 15},     {u'7', "--...", 17},
      {u'8', "---..", 19},     {u'9', "----.", 21},     {u'0', "-----", 23},
      {u'+', ".-.-.", 17},     {u'*', "...-.-", 19},    {u'.', ".-.-.-", 21},
      {u',', "--..--", 23},    {u'-', "-....-", 19},    {u'=', "-...-", 17},
      {u'/', "-..-.", 17},     {u'?', "..--..", 19},    {u'@', ".--.-.", 21},
  };
  ASSERT_EQ(std::size(rows), MorseTable.size());
  for (const Row& row : rows) {
    Keyer k(10);
    EncodeCharacter(k.p, row.c);
    EXPECT_EQ(k.Heard(10), row.elements) << QString(QChar(row.c)).toStdString();
    EXPECT_EQ(k.fake.now, 10 * row.units) << QString(QChar(row.c)).toStdString();
  }
}

TEST(Keying, CharactersWithoutAnEntryKeyNothingAndTakeNoTime) {
  for (char16_t c : {u'e', u'\u00C9', u'\t', u'!', u':', u'\u0301', u'\xD800', u'\0'}) {
    Keyer k;
    EncodeCharacter(k.p, c);
    EXPECT_TRUE(k.fake.timeline.empty()) << static_cast<int>(c);
    EXPECT_EQ(k.fake.now, 0);
  }
}

TEST(Keying, SpacesAreWordGaps) {
  Keyer k(10);
  k.Send(QStringLiteral("E  E"));
  EXPECT_EQ(k.fake.now, 240);
  EXPECT_EQ(k.Heard(10), "..");
}

TEST(Keying, OutcomesOfKeyTone) {
  struct Case {
    const char* name;
    bool noSound;
    bool notAccepted;
    std::int64_t hz;
    KeyToneResult result;
    std::int64_t testMs;  // "TEST" at U = 50
  };
  const Case cases[] = {
      {"keyed", false, false, 800, KeyToneResult::Keyed, 1400},
      {"no sound output", true, false, 800, KeyToneResult::Skipped, 600},
      {"frequency without a period", false, false, 0, KeyToneResult::Skipped, 600},
      {"negative frequency", false, false, -5, KeyToneResult::Skipped, 600},
      {"sound not accepted", false, true, 800, KeyToneResult::Silent, 900},
  };
  for (const Case& c : cases) {
    Keyer k;
    k.fake.noSoundOutput = c.noSound;
    k.fake.soundNotAccepted = c.notAccepted;
    k.p.Run.ToneHz = c.hz;
    EXPECT_EQ(KeyTone(k.p, 50), c.result) << c.name;
    k.fake.timeline.clear();
    k.fake.now = 0;
    k.Send(QStringLiteral("TEST"));
    EXPECT_EQ(k.fake.now, c.testMs) << c.name;
    if (c.result != KeyToneResult::Keyed) {
      EXPECT_TRUE(k.fake.Lines({"tone", "dtr", "port"}).empty()) << c.name;
    }
    EXPECT_EQ(k.fake.liveSounds, 0) << c.name;
  }
}

TEST(Keying, PortIsKeyedOnlyForNamesAboveASpace) {
  struct Case {
    const char* port;
    std::vector<std::string> portLines;
  };
  const Case cases[] = {
      {"", {}},
      {" ", {}},
      {" COM9", {"0 port cannot open \" COM9\""}},
      {"NOSUCH", {"0 port cannot open \"NOSUCH\""}},
      {"COM9", {"0 dtr up", "50 dtr down"}},
  };
  for (const Case& c : cases) {
    Keyer k(50, c.port);
    k.Send(QStringLiteral("E"));
    EXPECT_EQ(k.fake.Lines({"dtr", "port"}), c.portLines) << '"' << c.port << '"';
    // The tone and the timing do not depend on the port.
    EXPECT_EQ(k.fake.Lines({"tone"}), (std::vector<std::string>{"0 tone on 800", "50 tone off"}));
    EXPECT_EQ(k.fake.now, 250);
  }
}

TEST(Keying, ZeroAndNegativeUnitsWaitNothing) {
  for (std::int64_t u : {0, -50}) {
    Keyer k(u);
    k.Send(QStringLiteral("TEST DE"));
    EXPECT_EQ(k.fake.now, 0) << u;
    EXPECT_EQ(k.fake.Lines({"tone"}).size(), 2u * 10) << u;  // ten elements, each on and off
  }
}

TEST(Keying, HugeUnitsSaturateInsteadOfOverflowing) {
  Keyer k;
  k.SetUnit(std::numeric_limits<std::int64_t>::max() / 2);
  EXPECT_EQ(k.p.Timing.DashMs, std::numeric_limits<std::int64_t>::max());
  k.SetUnit(std::numeric_limits<std::int64_t>::min() / 3);
  EXPECT_EQ(k.p.Timing.WordGapMs, std::numeric_limits<std::int64_t>::min());
}

TEST(Keying, EscapeReleasedAbandonsAtTheNextDot) {
  Keyer k;
  // Seen held at the first dot's examination, up at the second.
  k.fake.escapeDown = [](int examination, std::int64_t) { return examination == 1; };
  k.fake.drawingDepth = 1;
  EXPECT_THROW(EncodeCharacter(k.p, u'S'), RebuildRequest);
  EXPECT_EQ(k.Heard(50), ".");
  EXPECT_EQ(k.fake.drawingDepth, 0) << "drawing is ended before the rebuild";
  EXPECT_EQ(k.fake.liveSounds, 0);
  EXPECT_EQ(k.fake.openPorts, 0);
}

TEST(Keying, EscapeIsActedOnOnlyAtADotAfterItsRelease) {
  Keyer k;
  k.fake.escapeDown = [](int, std::int64_t t) { return t < 300; };
  // Seen held at the dot at 0 and let go during the dash; the next dot, at 600, acts on it.
  k.Send(QStringLiteral("ET"));
  EXPECT_EQ(k.Heard(50), ".-");
  EXPECT_THROW(k.Send(QStringLiteral("E")), RebuildRequest);

  Keyer held;
  held.fake.escapeDown = [](int, std::int64_t) { return true; };
  held.Send(QStringLiteral("SOS"));
  EXPECT_EQ(held.Heard(50), "...---...");

  Keyer away;
  away.fake.foreground = false;
  away.fake.escapeDown = [](int examination, std::int64_t) { return examination == 1; };
  away.Send(QStringLiteral("SOS"));
  EXPECT_EQ(away.Heard(50), "...---...") << "another window in front: nothing is seen";
}

}  // namespace
}  // namespace tonvirke

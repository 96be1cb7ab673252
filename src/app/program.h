#pragma once
// The process-wide state of the keyer and the two ways out of any activity.

#include <QString>
#include <array>
#include <cstdint>

#include "platform/facilities.h"

namespace tonvirke {

inline constexpr int kMainWindow = 7;
inline constexpr int kInfoWindow = 53;

struct KeyerSettings {
  QString ToneHz;
  QString CharLengthMs;
  QString MessageText;
  QString CarrierMs;
  QString RepeatPauseMs;
  QString RepeatCount;
  QString CarrierPauseMs;
  QString PortName;
  QString StartTime;
  QString StopTime;
};

struct RunParameters {
  std::int64_t ToneHz = 0;
  std::int64_t CharLengthMs = 0;
  QString MessageText;
  std::int64_t CarrierMs = 0;
  std::int64_t CarrierPauseMs = 0;
  std::int64_t RepeatPauseMs = 0;
  std::int64_t RepeatCount = 0;
  std::int64_t TransmissionNumber = 0;
};

struct MorseTiming {
  std::int64_t DotMs = 0;
  std::int64_t DashMs = 0;
  std::int64_t ElementGapMs = 0;
  std::int64_t CharGapMs = 0;
  std::int64_t WordGapMs = 0;
};

// Rows 0..10, columns 0..2; only rows 1..10, columns 1 (key) and 2 (value) are used.
using SettingsTable = std::array<std::array<QString, 3>, 11>;

struct Program {
  explicit Program(const Facilities& facilities) : fx(facilities) {}
  Facilities fx;

  std::int64_t ScreenWidth = 0;
  std::int64_t ScreenHeight = 0;
  SettingsTable Table;
  KeyerSettings Settings;
  RunParameters Run;
  MorseTiming Timing;
  QString CounterText;
  QString ClockLastShown;
};

// Thrown to abandon the current activity and build a fresh main screen. Deliberately not a
// std::exception, so that nothing on the way catches it by accident.
struct RebuildRequest {};
// Thrown to end the program; the top level releases everything and exits with code 0.
struct EndRequest {};

// Never return: they unwind to the top level.
[[noreturn]] void RebuildMainScreen(Program& p);
[[noreturn]] void EndProgram(Program& p);

// Start-up, the screen and its loop, until the program ends. Returns the exit code (always 0).
int RunProgram(Program& p);

// Saturating arithmetic for durations built from operator input.
std::int64_t SaturatingMul(std::int64_t a, std::int64_t b);
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b);

}  // namespace tonvirke

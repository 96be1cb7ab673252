#include "app/program.h"

#include <limits>

#include "app/event_loop.h"
#include "app/main_screen.h"
#include "app/startup.h"

namespace tonvirke {

std::int64_t SaturatingMul(std::int64_t a, std::int64_t b) {
  std::int64_t r = 0;
  if (!__builtin_mul_overflow(a, b, &r)) return r;
  return ((a < 0) != (b < 0)) ? std::numeric_limits<std::int64_t>::min()
                              : std::numeric_limits<std::int64_t>::max();
}

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
  std::int64_t r = 0;
  if (!__builtin_add_overflow(a, b, &r)) return r;
  return b < 0 ? std::numeric_limits<std::int64_t>::min()
               : std::numeric_limits<std::int64_t>::max();
}

void RebuildMainScreen(Program&) {
  throw RebuildRequest{};
}

void EndProgram(Program&) {
  throw EndRequest{};
}

int RunProgram(Program& p) {
  try {
    p.ScreenWidth = 1280;
    p.ScreenHeight = 800;
    p.Table = SettingsTable{};
    InitFacilities(p);
    for (;;) {
      try {
        BuildMainScreen(p);
        RunEventLoop(p);
      } catch (const RebuildRequest&) {
        // Everything of the abandoned activity has unwound; build afresh.
      }
    }
  } catch (const EndRequest&) {
  }
  ReleaseFacilities(p);
  return 0;
}

}  // namespace tonvirke

#pragma once

namespace tonvirke {
struct Program;
// Re-creates clock label 17 in the main window when the displayed second has changed.
void UpdateClock(Program& p);
}  // namespace tonvirke

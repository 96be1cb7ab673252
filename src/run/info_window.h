#pragma once

namespace tonvirke {
struct Program;
// Shows the information window until "Avsluta Info", then rebuilds the main screen.
[[noreturn]] void ShowInfoWindow(Program& p);
}  // namespace tonvirke

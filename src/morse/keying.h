#pragma once
#include <cstdint>

namespace tonvirke {

struct Program;

enum class KeyToneResult { Skipped, Silent, Keyed };

// Sounds the tone and keys the DTR line for `ms`; everything it makes is released before it
// returns.
KeyToneResult KeyTone(Program& p, std::int64_t ms);
// Checks for a released Escape first and abandons the run by rebuilding the screen.
void KeyDot(Program& p);
void KeyDash(Program& p);

}  // namespace tonvirke

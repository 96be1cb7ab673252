#pragma once

namespace tonvirke {
struct Program;
// The main loop: clock, next event, Escape, dispatch by control number. Never returns.
[[noreturn]] void RunEventLoop(Program& p);
// Puts the current minute into the start and stop fields.
void FillCurrentTime(Program& p);
}  // namespace tonvirke

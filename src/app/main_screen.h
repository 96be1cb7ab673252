#pragma once

namespace tonvirke {
struct Program;
// Opens window 7 with its timer, white drawing surface, banner and every control, the fields
// filled from the settings file.
void BuildMainScreen(Program& p);
}  // namespace tonvirke

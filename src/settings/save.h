#pragma once

namespace tonvirke {
struct Program;
// Writes the ten fields to the settings file, confirms, and rebuilds the screen from the file.
// When the file cannot be written it says so and leaves the screen as it is.
void SaveSettings(Program& p);
}  // namespace tonvirke

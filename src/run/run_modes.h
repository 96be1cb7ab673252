#pragma once

namespace tonvirke {
struct Program;
void ReadRunParameters(Program& p);
void RunTestTransmission(Program& p);
void RunRepeated(Program& p);
void RunTimeWindow(Program& p);
}  // namespace tonvirke

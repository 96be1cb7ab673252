#pragma once
#include <QString>
#include <cstdint>

namespace tonvirke {

struct Program;

struct FontSpec {
  int number;
  int points;
  bool bold;
  bool proof;
};
inline constexpr FontSpec kFontTable[] = {
    {0, 7, false, true},  {1, 10, true, false}, {2, 12, true, false},
    {3, 14, true, false}, {4, 16, true, false},
};

// Prepares the drawing surface, keyboard polling and the fonts; ends the program on failure.
void InitFacilities(Program& p);
// With a zero result (low 32 bits): an "Error" box, then the end of the program.
void ShowError(Program& p, std::int64_t result, const QString& message);
// Releases every facility the program holds.
void ReleaseFacilities(Program& p);

}  // namespace tonvirke

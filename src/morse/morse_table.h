#pragma once
#include <QString>
#include <array>

namespace tonvirke {

struct Program;

struct MorseEntry {
  char16_t character;
  const char* elements;  // '.' a dot, '-' a dash
};

extern const std::array<MorseEntry, 48> MorseTable;

// The entry for one code unit, or null when it has none.
const MorseEntry* FindMorse(char16_t c);

// Keys one character with its trailing silence; a space is a word gap.
void EncodeCharacter(Program& p, char16_t c);

}  // namespace tonvirke

#include "morse/morse_table.h"

#include "app/program.h"
#include "morse/keying.h"

namespace tonvirke {

const std::array<MorseEntry, 48> MorseTable = {{
    {u'A', ".-"},        {u'B', "-..."},   {u'C', "-.-."},       {u'D', "-.."},
    {u'E', "."},         {u'F', "..-."},   {u'G', "--."},        {u'H', "...."},
    {u'I', ".."},        {u'J', ".---"},   {u'K', "-.-"},        {u'L', ".-.."},
    {u'M', "--"},        {u'N', "-."},     {u'O', "---"},        {u'P', ".--."},
    {u'Q', "--.-"},      {u'R', ".-."},    {u'S', "..."},        {u'T', "-"},
    {u'U', "..-"},       {u'V', "...-"},   {u'W', ".--"},        {u'X', "-..-"},
    {u'Y', "-.--"},      {u'Z', "--.."},   {u'\u00C5', ".--.-"}, {u'\u00C4', ".-.-"},
    {u'\u00D6', "---."}, {u'1', ".----"},  {u'2', "..---"},      {u'3', "...--"},
    {u'4', "....-"},     {u'5', "....."},  {u'6', "-...."},      {u'7', "--..."},
    {u'8', "---.."},     {u'9', "----."},  {u'0', "-----"},      {u'+', ".-.-."},
    {u'*', "...-.-"},    {u'.', ".-.-.-"}, {u',', "--..--"},     {u'-', "-....-"},
    {u'=', "-...-"},     {u'/', "-..-."},  {u'?', "..--.."},     {u'@', ".--.-."},
}};

const MorseEntry* FindMorse(char16_t c) {
  for (const MorseEntry& e : MorseTable) {
    if (e.character == c) return &e;
  }
  return nullptr;
}

void EncodeCharacter(Program& p, char16_t c) {
  if (c == u' ') {
    p.fx.delay.Wait(p.Timing.WordGapMs);
    return;
  }
  const MorseEntry* entry = FindMorse(c);
  if (entry == nullptr) return;
  for (const char* e = entry->elements; *e != '\0'; ++e) {
    if (*e == '.') {
      KeyDot(p);
    } else {
      KeyDash(p);
    }
  }
  p.fx.delay.Wait(p.Timing.CharGapMs);
}

}  // namespace tonvirke

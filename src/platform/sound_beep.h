#pragma once
#include "platform/delay.h"
#include "platform/sdl_sound.h"

namespace tonvirke {

// There is no beep device on Linux: the beep is a sine through the sound output.
class SoundBeep final : public SystemBeep {
 public:
  SoundBeep(SdlSound& sound, Delay& delay) : sound_(sound), delay_(delay) {}
  bool Acquire() override { return sound_.Init(); }
  void Beep(int hz, std::int64_t ms) override;
  void Release() override {}

 private:
  SdlSound& sound_;
  Delay& delay_;
};

}  // namespace tonvirke

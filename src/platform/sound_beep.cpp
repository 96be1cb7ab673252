#include "platform/sound_beep.h"

namespace tonvirke {

void SoundBeep::Beep(int hz, std::int64_t ms) {
  const SoundId id = sound_.MakeSine(hz);
  if (id != kNoSound) sound_.Play(id);
  delay_.Wait(ms);
  if (id != kNoSound) {
    sound_.Stop(id);
    sound_.ReleaseSound(id);
  }
}

}  // namespace tonvirke

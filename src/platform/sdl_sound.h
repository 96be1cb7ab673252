#pragma once
#include <SDL.h>

#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <vector>

#include "platform/facilities.h"
#include "platform/frame_clock.h"

namespace tonvirke {

// Sound output on one SDL audio device at 48000 Hz with its own mixer of looping voices.
// Play and Stop take effect at the sample that corresponds to the moment of the call plus one
// fixed latency, so a tone lasts exactly as long as the wait between the two calls.
class SdlSound final : public SoundOutput {
 public:
  static constexpr int kRate = 48000;
  static constexpr int kVoices = 64;
  // 43 ms: smaller buffers underran PulseAudio on a loaded two-core machine and broke tones.
  static constexpr int kBufferFrames = 2048;
  // One buffer and 10 ms beyond the furthest-ahead position a callback has been seen at.
  static constexpr std::int64_t kLatencyFrames = kBufferFrames + kRate / 100;
  static constexpr std::int64_t kSettleFrames = kRate / 5;

  SdlSound() = default;
  ~SdlSound() override { Shutdown(); }
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  bool Init() override;
  SoundId MakeSound(std::span<const std::uint8_t> wavImage) override;
  void Play(SoundId sound) override;
  void Stop(SoundId sound) override;
  void ReleaseSound(SoundId sound) override;
  void Shutdown() override;

  // One period of a sine of `hz` (for the beep), made from samples rather than an image;
  // kNoSound without an output or for a frequency without a whole-sample period.
  SoundId MakeSine(int hz);

  std::size_t HeldSounds() const { return sounds_.size(); }

 private:
  using Samples = std::vector<float>;
  struct Voice {
    std::shared_ptr<const Samples> data;
    SoundId id = kNoSound;
    std::int64_t start = 0;
    std::int64_t stop = 0;
    std::size_t pos = 0;
    bool active = false;
  };

  static void Callback(void* self, Uint8* stream, int len);
  void Mix(float* out, int frames);
  // The output frame at which something asked for now should happen. Call with the device locked.
  std::int64_t FrameNow() const;
  SoundId Add(std::shared_ptr<const Samples> samples);

  int initCalls_ = 0;
  bool ok_ = false;
  SDL_AudioDeviceID device_ = 0;
  std::map<SoundId, std::shared_ptr<const Samples>> sounds_;
  SoundId next_ = 1;

  // Shared with the audio thread; guarded by the device lock.
  std::array<Voice, kVoices> voices_{};
  std::int64_t rendered_ = 0;
  FrameClock clock_{kRate / 500.0, kLatencyFrames};  // steps over 2 ms are taken at once
};

}  // namespace tonvirke

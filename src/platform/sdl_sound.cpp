#include "platform/sdl_sound.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tonvirke {

namespace {

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

}  // namespace

bool SdlSound::Init() {
  if (initCalls_++ > 0) return ok_;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return ok_ = false;
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_F32SYS;
  want.channels = 1;
  want.samples = kBufferFrames;
  want.callback = &SdlSound::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No change allowed: SDL converts for the hardware, our mixing stays at 48000 Hz mono.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return ok_ = false;
  }
  SDL_PauseAudioDevice(device_, 0);
  // Let the output settle (stream start-up, the clock mapping) before the first tone.
  const Uint64 until = SDL_GetTicks64() + 500;
  for (;;) {
    SDL_LockAudioDevice(device_);
    const bool settled = rendered_ >= kSettleFrames;
    SDL_UnlockAudioDevice(device_);
    if (settled || SDL_GetTicks64() >= until) break;
    SDL_Delay(5);
  }
  return ok_ = true;
}

void SdlSound::Shutdown() {
  if (device_ != 0) {
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device_ = 0;
  }
  voices_ = {};
  sounds_.clear();
}

SoundId SdlSound::Add(std::shared_ptr<const Samples> samples) {
  const SoundId id = next_++;
  if (next_ == kNoSound) next_ = 1;
  sounds_[id] = std::move(samples);
  return id;
}

SoundId SdlSound::MakeSound(std::span<const std::uint8_t> wavImage) {
  if (!ok_ || wavImage.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return kNoSound;
  }
  SDL_RWops* rw = SDL_RWFromConstMem(wavImage.data(), static_cast<int>(wavImage.size()));
  if (rw == nullptr) return kNoSound;
  SDL_AudioSpec format{};
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV_RW(rw, 1, &format, &buffer, &length) == nullptr) return kNoSound;
  SDL_AudioCVT cvt{};
  const int built =
      SDL_BuildAudioCVT(&cvt, format.format, format.channels, format.freq, AUDIO_F32SYS, 1, kRate);
  std::shared_ptr<Samples> samples;
  if (built >= 0) {
    std::vector<Uint8> work(static_cast<std::size_t>(length) * std::max(1, cvt.len_mult));
    std::memcpy(work.data(), buffer, length);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(length);
    if (built == 0 || SDL_ConvertAudio(&cvt) == 0) {
      const int bytes = built == 0 ? static_cast<int>(length) : cvt.len_cvt;
      samples = std::make_shared<Samples>(static_cast<std::size_t>(bytes) / sizeof(float));
      std::memcpy(samples->data(), work.data(), samples->size() * sizeof(float));
    }
  }
  SDL_FreeWAV(buffer);
  if (!samples || samples->empty()) return kNoSound;
  return Add(std::move(samples));
}

SoundId SdlSound::MakeSine(int hz) {
  if (!ok_ || hz < 1 || hz > kRate) return kNoSound;
  // Exactly one period of whole samples, so the loop has no jump.
  const std::size_t n = static_cast<std::size_t>(kRate / hz);
  auto samples = std::make_shared<Samples>(n);
  for (std::size_t k = 0; k < n; ++k) {
    (*samples)[k] = static_cast<float>(0.5 * std::sin(6.283185307179586 * k / n));
  }
  return Add(std::move(samples));
}

std::int64_t SdlSound::FrameNow() const {
  return clock_.FrameAt(SteadySeconds() * kRate, rendered_);
}

void SdlSound::Play(SoundId sound) {
  auto it = sounds_.find(sound);
  if (it == sounds_.end() || device_ == 0) return;
  SDL_LockAudioDevice(device_);
  const std::int64_t at = FrameNow();
  Voice* free = nullptr;
  for (Voice& v : voices_) {
    if (v.active && v.id == sound) v.stop = std::min(v.stop, at);
    const bool done = !v.active || v.stop <= rendered_;
    if (done && free == nullptr) free = &v;
  }
  if (free != nullptr) *free = Voice{it->second, sound, at, kNever, 0, true};
  SDL_UnlockAudioDevice(device_);
}

void SdlSound::Stop(SoundId sound) {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  const std::int64_t at = FrameNow();
  for (Voice& v : voices_) {
    if (v.active && v.id == sound) v.stop = std::min(v.stop, at);
  }
  SDL_UnlockAudioDevice(device_);
}

void SdlSound::ReleaseSound(SoundId sound) {
  // A voice still fading out keeps its own reference to the samples.
  sounds_.erase(sound);
}

void SdlSound::Callback(void* self, Uint8* stream, int len) {
  static_cast<SdlSound*>(self)->Mix(reinterpret_cast<float*>(stream),
                                    len / static_cast<int>(sizeof(float)));
}

void SdlSound::Mix(float* out, int frames) {
  clock_.Observe(rendered_, SteadySeconds() * kRate);

  std::fill(out, out + frames, 0.0f);
  const std::int64_t first = rendered_;
  const std::int64_t end = rendered_ + frames;
  for (Voice& v : voices_) {
    if (!v.active || !v.data) continue;
    const std::int64_t from = std::max(first, v.start);
    const std::int64_t to = std::min(end, v.stop);
    const Samples& s = *v.data;
    for (std::int64_t f = from; f < to; ++f) {
      out[f - first] += s[v.pos];
      if (++v.pos == s.size()) v.pos = 0;
    }
    if (v.stop <= end) {
      v.active = false;
      v.data.reset();
    }
  }
  for (int i = 0; i < frames; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
  rendered_ = end;
}

}  // namespace tonvirke

#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace tonvirke {

inline constexpr std::int64_t ToneSampleRate = 48000;
inline constexpr double ToneAmplitude = 6710880.0;

// One period of a sine as a 24-bit mono PCM WAV image. None when the frequency has no
// whole-sample period (outside 1 to sampleRate) or there is no memory for it.
std::optional<std::vector<std::uint8_t>> BuildToneWav(std::int64_t sampleRate, std::int64_t toneHz);

}  // namespace tonvirke

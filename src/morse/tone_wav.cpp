#include "morse/tone_wav.h"

#include <cmath>
#include <new>

namespace tonvirke {

namespace {

void Put32(std::vector<std::uint8_t>& image, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void Put16(std::vector<std::uint8_t>& image, std::size_t at, std::uint16_t v) {
  image[at] = static_cast<std::uint8_t>(v);
  image[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutTag(std::vector<std::uint8_t>& image, std::size_t at, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(tag[i]);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> BuildToneWav(std::int64_t sampleRate,
                                                      std::int64_t toneHz) {
  // Also keeps every size below in 32 bits.
  if (sampleRate <= 0 || sampleRate > 192000 || toneHz < 1 || toneHz > sampleRate) {
    return std::nullopt;
  }
  const std::int64_t n = sampleRate / toneHz;
  const std::int64_t d = 3 * n;
  std::vector<std::uint8_t> image;
  try {
    image.assign(static_cast<std::size_t>(44 + d), 0);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const std::uint16_t channels = 1;
  const std::uint16_t bits = 24;
  const std::uint16_t block = channels * ((bits + 7) / 8);
  PutTag(image, 0, "RIFF");
  Put32(image, 4, static_cast<std::uint32_t>(36 + d));
  PutTag(image, 8, "WAVE");
  PutTag(image, 12, "fmt ");
  Put32(image, 16, 16);
  Put16(image, 20, 1);
  Put16(image, 22, channels);
  Put32(image, 24, static_cast<std::uint32_t>(sampleRate));
  Put32(image, 28, static_cast<std::uint32_t>(sampleRate * block));
  Put16(image, 32, block);
  Put16(image, 34, bits);
  PutTag(image, 36, "data");
  Put32(image, 40, static_cast<std::uint32_t>(d));

  const double step = 6.283185307179586 / static_cast<double>(n);
  double phase = 0.0;
  for (std::int64_t k = 0; k < n; ++k) {
    // nearbyint under the default rounding mode rounds halfway cases to even.
    const auto v = static_cast<std::int64_t>(std::nearbyint(std::sin(phase) * ToneAmplitude));
    const std::size_t at = static_cast<std::size_t>(44 + 3 * k);
    image[at] = static_cast<std::uint8_t>(v & 0xFF);
    image[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    image[at + 2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
    phase += step;
  }
  return image;
}

}  // namespace tonvirke

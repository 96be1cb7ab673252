#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "morse/tone_wav.h"
#include "platform/delay.h"
#include "platform/sdl_sound.h"

namespace tonvirke {
namespace {

// Plays a keyed tone through SDL's disk driver and reads back what reached the "device".
// heldMs gets the time that really passed between Play and Stop: a busy machine may wake the
// wait late, and that is not the output's doing.
std::vector<float> Record(std::int64_t hz, std::int64_t toneMs, const char* path, double* heldMs) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", path, 1);
  std::vector<float> samples;
  {
    SdlSound sound;
    EXPECT_TRUE(sound.Init());
    EXPECT_TRUE(sound.Init()) << "later calls return the first outcome";
    RealDelay delay;
    const auto image = BuildToneWav(48000, hz);
    const SoundId id = sound.MakeSound(*image);
    EXPECT_NE(id, kNoSound);
    delay.Wait(100);
    const auto played = std::chrono::steady_clock::now();
    sound.Play(id);
    delay.Wait(toneMs);
    sound.Stop(id);
    *heldMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - played)
                  .count();
    sound.ReleaseSound(id);
    delay.Wait(200);
    EXPECT_EQ(sound.HeldSounds(), 0u);
    sound.Shutdown();
  }
  std::ifstream in(path, std::ios::binary);
  float f = 0;
  while (in.read(reinterpret_cast<char*>(&f), sizeof f)) samples.push_back(f);
  return samples;
}

TEST(SdlSoundOutput, KeyedToneIsACleanSineOfTheRightLength) {
  const std::string path = testing::TempDir() + "tonvirke-disk-audio.raw";
  double heldMs = 0;
  const std::vector<float> s = Record(800, 100, path.c_str(), &heldMs);
  std::remove(path.c_str());
  ASSERT_GT(s.size(), 4800u);
  std::size_t first = 0;
  while (first < s.size() && s[first] == 0.0f) ++first;
  ASSERT_GT(first, 0u);
  --first;  // the sine starts at phase zero, with a sample of value 0
  std::size_t last = s.size();
  while (last > first && s[last - 1] == 0.0f) --last;
  const double lengthMs = (last - first) / 48.0;
  // Play and Stop land on the samples that the steady clock maps them to; the disk driver's
  // pacing moves that mapping by a little.
  EXPECT_NEAR(lengthMs, heldMs, 3.0);
  // Every sample of the tone is the 800 Hz sine at 80 % of full scale, continuing across the
  // loop point (60 samples a period).
  double worst = 0;
  for (std::size_t i = first; i < last; ++i) {
    const double expected = 0.8 * std::sin(6.283185307179586 * ((i - first) % 60) / 60.0);
    worst = std::max(worst, std::fabs(s[i] - expected));
  }
  EXPECT_LT(worst, 1e-3);
}

TEST(SdlSoundOutput, ImagesItCannotReadAreRefused) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlSound sound;
  ASSERT_TRUE(sound.Init());
  const std::vector<std::uint8_t> junk = {'R', 'I', 'F', 'F', 1, 2, 3};
  EXPECT_EQ(sound.MakeSound(junk), kNoSound);
  EXPECT_EQ(sound.MakeSound({}), kNoSound);
  auto empty = BuildToneWav(48000, 800);
  empty->resize(44);
  (*empty)[40] = 0;
  EXPECT_EQ(sound.MakeSound(*empty), kNoSound);
}

TEST(SdlSoundOutput, NoDeviceMeansNoSoundOutput) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  SdlSound sound;
  EXPECT_FALSE(sound.Init());
  EXPECT_FALSE(sound.Init());
  EXPECT_EQ(sound.MakeSine(800), kNoSound);
}

}  // namespace
}  // namespace tonvirke

#include "morse/tone_wav.h"

#include <gtest/gtest.h>

namespace tonvirke {
namespace {

std::int32_t SampleAt(const std::vector<std::uint8_t>& image, std::size_t k) {
  const std::size_t at = 44 + 3 * k;
  std::int32_t v = image[at] | image[at + 1] << 8 | image[at + 2] << 16;
  if (v & 0x800000) v -= 0x1000000;
  return v;
}

std::uint32_t U32(const std::vector<std::uint8_t>& image, std::size_t at) {
  return image[at] | image[at + 1] << 8 | image[at + 2] << 16 |
         static_cast<std::uint32_t>(image[at + 3]) << 24;
}

struct ToneCase {
  std::int64_t hz;
  std::size_t samples;
  std::vector<std::pair<std::size_t, std::int32_t>> values;
};

class ToneImage : public testing::TestWithParam<ToneCase> {};

TEST_P(ToneImage, HasOnePeriodWithTheRightHeaderAndSamples) {
  const ToneCase& c = GetParam();
  const auto image = BuildToneWav(48000, c.hz);
  ASSERT_TRUE(image);
  const std::size_t d = 3 * c.samples;
  ASSERT_EQ(image->size(), 44 + d);
  EXPECT_EQ(U32(*image, 4), 36 + d);
  EXPECT_EQ(U32(*image, 40), d);
  EXPECT_EQ(U32(*image, 24), 48000u);
  for (const auto& [k, v] : c.values) EXPECT_EQ(SampleAt(*image, k), v) << "sample " << k;
  for (std::size_t k = 0; k < c.samples; ++k) {
    EXPECT_LE(std::abs(SampleAt(*image, k)), 6710880) << "sample " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Frequencies, ToneImage,
    testing::Values(ToneCase{800,
                             60,
                             {{0, 0},
                              {1, 701478},
                              {5, 3355440},
                              {10, 5811793},
                              {15, 6710880},
                              {30, 0},
                              {45, -6710880},
                              {59, -701478}}},
                    ToneCase{1000, 48, {{0, 0}, {12, 6710880}}}, ToneCase{700, 68, {{0, 0}}},
                    ToneCase{48000, 1, {{0, 0}}}, ToneCase{24000, 2, {{0, 0}, {1, 0}}},
                    ToneCase{16000, 3, {{0, 0}, {1, 5811793}, {2, -5811793}}},
                    ToneCase{1, 48000, {{0, 0}, {12000, 6710880}, {36000, -6710880}}}),
    [](const testing::TestParamInfo<ToneCase>& info) {
      return std::to_string(info.param.hz) + "Hz";
    });

TEST(ToneImage, HeaderBytesAt800HzAreExact) {
  const std::vector<std::uint8_t> expected = {
      0x52, 0x49, 0x46, 0x46, 0xd8, 0x00, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6d, 0x74,
      0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x80, 0xbb, 0x00, 0x00, 0x80, 0x32,
      0x02, 0x00, 0x03, 0x00, 0x18, 0x00, 0x64, 0x61, 0x74, 0x61, 0xb4, 0x00, 0x00, 0x00};
  const auto image = BuildToneWav(48000, 800);
  ASSERT_TRUE(image);
  EXPECT_EQ(std::vector<std::uint8_t>(image->begin(), image->begin() + 44), expected);
  // The bytes of the listed samples, low byte first.
  EXPECT_EQ((*image)[44 + 3], 0x26);
  EXPECT_EQ((*image)[44 + 4], 0xb4);
  EXPECT_EQ((*image)[44 + 5], 0x0a);
  EXPECT_EQ((*image)[44 + 45 * 3], 0xa0);
  EXPECT_EQ((*image)[44 + 45 * 3 + 2], 0x99);
}

TEST(ToneImage, FrequenciesWithoutAWholeSamplePeriodGiveNoImage) {
  for (std::int64_t hz :
       {std::int64_t{0}, std::int64_t{-800}, std::int64_t{48001},
        std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
    EXPECT_FALSE(BuildToneWav(48000, hz)) << hz;
  }
}

}  // namespace
}  // namespace tonvirke

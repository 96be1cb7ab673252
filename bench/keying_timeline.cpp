// Keys one transmission with the default settings on the real sound output and a serial port
// on a pseudo-terminal, and prints how its DTR edges fall against the nominal timeline.
// Writes the DTR elements (start and length in ms) to the file named by the first argument,
// so that a recording of the sound can be compared with them (bench/keying_timeline.py).

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "app/program.h"
#include "fake/fake_platform.h"
#include "morse/transmission.h"
#include "platform/delay.h"
#include "platform/local_clock.h"
#include "platform/sdl_sound.h"
#include "platform/serial_port.h"
#include "platform/sound_beep.h"
#include "platform/text_files.h"

using namespace tonvirke;
using Clock = std::chrono::steady_clock;

namespace {

RunParameters Defaults() {
  return {800, 50, QStringLiteral("TEST DE QX7ZAB ="), 4000, 1000, 2000, 1, 1};
}

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double CpuSeconds() {
  rusage use{};
  ::getrusage(RUSAGE_SELF, &use);
  return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
         static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// Notes when the keyer calls Play and Stop, so that the recording can be held against the
// calls as well as against the DTR edges.
class TracedSound final : public SoundOutput {
 public:
  explicit TracedSound(SdlSound& sound) : sound_(sound) {}
  bool Init() override { return sound_.Init(); }
  SoundId MakeSound(std::span<const std::uint8_t> image) override {
    return sound_.MakeSound(image);
  }
  void Play(SoundId id) override {
    calls.push_back(Clock::now());
    sound_.Play(id);
  }
  void Stop(SoundId id) override {
    calls.push_back(Clock::now());
    sound_.Stop(id);
  }
  void ReleaseSound(SoundId id) override { sound_.ReleaseSound(id); }
  void Shutdown() override { sound_.Shutdown(); }
  std::vector<Clock::time_point> calls;

 private:
  SdlSound& sound_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return 1;
  const QString pty = QString::fromLocal8Bit(::ptsname(master));

  // The nominal timeline: the same transmission on the virtual clock.
  std::vector<double> nominal;
  {
    fake::FakePlatform fake;
    fake.workingPorts = {pty};
    Program p(fake.facilities());
    p.Settings.PortName = pty;
    p.Run = Defaults();
    SendTransmission(p);
    for (const auto& e : fake.timeline) {
      if (e.kind == "dtr") nominal.push_back(static_cast<double>(e.t));
    }
  }

  // The real one: sound, serial port, wait; the windows stay fakes (nothing is shown).
  fake::FakePlatform screen;
  RealDelay delay;
  RealLocalClock clock;
  SdlSound realSound;
  TracedSound sound(realSound);
  QtSerialPorts serial;
  SoundBeep beep(realSound, delay);
  LocalTextFiles files;
  std::vector<Clock::time_point> edges;
  serial.SetDtrTrace([&edges](bool) { edges.push_back(Clock::now()); });
  Program p(Facilities{screen.windowSystem, screen.surface, screen.keyboard, delay, clock, sound,
                       serial, beep, files});
  p.Settings.PortName = pty;
  p.Run = Defaults();
  if (!sound.Init()) {
    std::printf("no sound output\n");
    return 1;
  }
  const auto start = Clock::now();
  const double cpuBefore = CpuSeconds();
  SendTransmission(p);
  const double cpuUsed = CpuSeconds() - cpuBefore;
  const auto end = Clock::now();
  ::close(master);

  if (edges.size() != nominal.size() || edges.empty()) {
    std::printf("DTR edges: %zu, nominal %zu\n", edges.size(), nominal.size());
    return 1;
  }
  // Cumulative: each edge against its nominal time from the first edge (the time spent on each
  // element's image, sound and port adds up, as it always has). Interval: each edge against the
  // one before it.
  std::vector<double> errors;
  std::vector<double> intervals;
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const double actual = Ms(edges[i] - edges[0]);
    errors.push_back(std::fabs(actual - (nominal[i] - nominal[0])));
    if (i > 0) {
      intervals.push_back(std::fabs(Ms(edges[i] - edges[i - 1]) - (nominal[i] - nominal[i - 1])));
    }
  }
  std::sort(errors.begin(), errors.end());
  std::sort(intervals.begin(), intervals.end());
  const double nominalTotal = 15400.0;
  const double total = Ms(end - start);
  std::printf("DTR edges against the nominal timeline (%zu edges, U = 50 ms, default message):\n",
              edges.size());
  std::printf("  per-edge error, cumulative  median %.3f ms  p99 %.3f ms  max %.3f ms\n",
              errors[errors.size() / 2], errors[errors.size() * 99 / 100], errors.back());
  std::printf("  per-edge error, interval    median %.3f ms  p99 %.3f ms  max %.3f ms\n",
              intervals[intervals.size() / 2], intervals[intervals.size() * 99 / 100],
              intervals.back());
  std::printf("  whole transmission %.1f ms against %.0f ms nominal (%+.3f %%)\n", total,
              nominalTotal, 100.0 * (total - nominalTotal) / nominalTotal);
  std::printf("  processor during the transmission: %.1f %% of a core (all threads)\n",
              100.0 * cpuUsed / (total / 1000.0));
  if (argc > 1) {
    // Per element: DTR start and length, then the Play-to-Stop time of its tone (ms).
    std::ofstream out(argv[1]);
    for (std::size_t i = 0; i + 1 < edges.size(); i += 2) {
      const double held = i + 1 < sound.calls.size() ? Ms(sound.calls[i + 1] - sound.calls[i]) : 0;
      out << Ms(edges[i] - edges[0]) << ' ' << Ms(edges[i + 1] - edges[i]) << ' ' << held << '\n';
    }
  }
  return 0;
}

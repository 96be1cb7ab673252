// Prints what each keyed element costs on the real facilities, beyond its tone and gap:
// median and p99 in microseconds over 1000 elements.
// Usage: bench_element_overhead [elements]   (SDL_AUDIODRIVER picks the sound driver)

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "morse/tone_wav.h"
#include "platform/sdl_sound.h"
#include "platform/serial_port.h"

using namespace tonvirke;
using Clock = std::chrono::steady_clock;

namespace {

double Micros(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

void Print(const char* name, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const double median = v[v.size() / 2];
  const double p99 = v[std::min(v.size() - 1, v.size() * 99 / 100)];
  std::printf("%-22s median %8.1f us   p99 %8.1f us\n", name, median, p99);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int elements = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  SdlSound sound;
  if (!sound.Init()) {
    std::printf("no sound output\n");
    return 1;
  }
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return 1;
  const QString pty = QString::fromLocal8Bit(::ptsname(master));
  QtSerialPorts ports;

  std::map<std::string, std::vector<double>> t;
  for (int i = 0; i < elements; ++i) {
    const auto a = Clock::now();
    auto image = BuildToneWav(48000, 800);
    const auto b = Clock::now();
    const SoundId id = sound.MakeSound(*image);
    const auto c = Clock::now();
    sound.Play(id);
    const auto d = Clock::now();
    const PortId port = ports.Open(pty, SerialSettings{});
    const auto e = Clock::now();
    sound.Stop(id);
    const auto f = Clock::now();
    sound.ReleaseSound(id);
    const auto g = Clock::now();
    ports.Close(port);
    const auto h = Clock::now();
    image.reset();
    const auto j = Clock::now();
    if (port == kNoPort) std::printf("port did not open\n");
    t["BuildToneWav"].push_back(Micros(b - a));
    t["make sound"].push_back(Micros(c - b));
    t["play"].push_back(Micros(d - c));
    t["port open"].push_back(Micros(e - d));
    t["stop"].push_back(Micros(f - e));
    t["release sound"].push_back(Micros(g - f));
    t["port close"].push_back(Micros(h - g));
    t["release image"].push_back(Micros(j - h));
    t["whole element"].push_back(Micros((b - a) + (e - b) + (j - e)));
  }
  std::printf("%d elements, 800 Hz, port %s\n", elements, qPrintable(pty));
  for (const char* name : {"BuildToneWav", "make sound", "play", "stop", "release sound",
                           "release image", "port open", "port close", "whole element"}) {
    Print(name, t[name]);
  }
  ::close(master);
  return 0;
}

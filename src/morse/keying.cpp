#include "morse/keying.h"

#include "app/program.h"
#include "morse/tone_wav.h"

namespace tonvirke {

namespace {

// Owns a sound or an open port for the length of one element (0 is "none" for both).
template <typename ReleaseFn>
class ElementResource {
 public:
  ElementResource(std::uint32_t id, ReleaseFn release) : id_(id), release_(release) {}
  ~ElementResource() { Release(); }
  ElementResource(const ElementResource&) = delete;
  ElementResource& operator=(const ElementResource&) = delete;
  std::uint32_t id() const { return id_; }
  void Release() {
    if (id_ != 0) release_(id_);
    id_ = 0;
  }

 private:
  std::uint32_t id_;
  ReleaseFn release_;
};

bool KeysPort(const Program& p) {
  return p.Settings.PortName > QStringLiteral(" ");
}

void KeyElement(Program& p, std::int64_t ms) {
  if (KeyTone(p, ms) != KeyToneResult::Skipped) p.fx.delay.Wait(p.Timing.ElementGapMs);
}

}  // namespace

KeyToneResult KeyTone(Program& p, std::int64_t ms) {
  if (!p.fx.sound.Init()) return KeyToneResult::Skipped;
  const auto image = BuildToneWav(ToneSampleRate, p.Run.ToneHz);
  if (!image) return KeyToneResult::Skipped;
  ElementResource sound(p.fx.sound.MakeSound(*image),
                        [&p](SoundId id) { p.fx.sound.ReleaseSound(id); });
  if (sound.id() == kNoSound) return KeyToneResult::Silent;
  p.fx.sound.Play(sound.id());
  ElementResource port(
      KeysPort(p) ? p.fx.serial.Open(p.Settings.PortName, SerialSettings{}) : kNoPort,
      [&p](PortId id) { p.fx.serial.Close(id); });
  p.fx.delay.Wait(ms);
  p.fx.sound.Stop(sound.id());
  sound.Release();
  port.Release();
  return KeyToneResult::Keyed;
}

void KeyDot(Program& p) {
  p.fx.keyboard.Examine();
  if (p.fx.keyboard.EscapeReleased()) {
    p.fx.surface.EndDrawing();
    RebuildMainScreen(p);
  }
  KeyElement(p, p.Timing.DotMs);
}

void KeyDash(Program& p) {
  KeyElement(p, p.Timing.DashMs);
}

}  // namespace tonvirke

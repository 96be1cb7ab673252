#include "fake/fake_platform.h"

#include <cstdio>

#include "platform/date_mask.h"

namespace tonvirke::fake {

namespace {

std::string Str(const QString& s) {
  return s.toStdString();
}

std::string RectText(Rect r) {
  return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + "," +
         std::to_string(r.height);
}

// The pitch a one-period image sounds at, read back from its data chunk.
std::string Pitch(std::span<const std::uint8_t> image) {
  if (image.size() < 44) return "?";
  auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(image[at]) | static_cast<std::uint32_t>(image[at + 1]) << 8 |
           static_cast<std::uint32_t>(image[at + 2]) << 16 |
           static_cast<std::uint32_t>(image[at + 3]) << 24;
  };
  const std::uint32_t rate = u32(24);
  const std::uint32_t samples = u32(40) / 3;
  if (samples == 0) return "0";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(rate) / samples);
  return buf;
}

}  // namespace

// ---------------------------------------------------------------- platform

void FakePlatform::Record(std::string kind, std::string text) {
  if (!recording) return;
  timeline.push_back({now, std::move(kind), std::move(text)});
}

std::vector<std::string> FakePlatform::Lines(std::initializer_list<const char*> kinds) const {
  std::vector<std::string> out;
  for (const Entry& e : timeline) {
    bool wanted = kinds.size() == 0;
    for (const char* k : kinds) wanted = wanted || e.kind == k;
    if (wanted) out.push_back(std::to_string(e.t) + " " + e.kind + " " + e.text);
  }
  return out;
}

std::vector<std::string> FakePlatform::LabelPlacements(int number) const {
  std::vector<std::string> out;
  const std::string prefix = std::to_string(number) + " ";
  for (const Entry& e : timeline) {
    if (e.kind == "label" && e.text.rfind(prefix, 0) == 0) out.push_back(e.text);
  }
  return out;
}

QString FakePlatform::ControlText(int number) const {
  auto it = controls.find(number);
  return it == controls.end() ? QString() : it->second.text;
}

// ---------------------------------------------------------------- windows

void FakeWindows::OpenWindow(int number, Rect client, const QString& title) {
  CloseWindow(number);
  w_.windows[number] = title;
  w_.currentWindow = number;
  w_.Record("window", std::to_string(number) + " " + RectText(client));
}

void FakeWindows::CloseWindow(int number) {
  if (w_.windows.erase(number) == 0) return;
  std::erase_if(w_.controls, [number](const auto& c) { return c.second.window == number; });
  w_.Record("close", std::to_string(number));
}

void FakeWindows::AddTimer(int window, int timer, int periodMs) {
  w_.Record("timer",
            std::to_string(window) + " " + std::to_string(timer) + " " + std::to_string(periodMs));
}

void FakeWindows::Place(int number, Control control) {
  w_.controls.erase(number);
  if (w_.recording) {
    w_.Record(control.kind, std::to_string(number) + " " + RectText(control.where) +
                                (control.sunken ? " sunken" : "") +
                                (control.capitals ? " capitals" : "") + " \"" + Str(control.text) +
                                "\"");
  }
  w_.controls[number] = std::move(control);
}

void FakeWindows::CreateLabel(int number, Rect where, const QString& text, bool sunken,
                              int window) {
  Control c;
  c.window = window == kCurrentWindow ? w_.currentWindow : window;
  c.kind = "label";
  c.where = where;
  // Keeping no reference to a long text lets the caller go on appending to it without a copy.
  c.text = text.size() > 256 ? text.left(256) : text;
  c.length = text.size();
  c.sunken = sunken;
  Place(number, std::move(c));
}

void FakeWindows::CreateField(int number, Rect where, const QString& text, bool capitals) {
  Control c;
  c.window = w_.currentWindow;
  c.kind = "field";
  c.where = where;
  c.text = text;
  c.capitals = capitals;
  Place(number, std::move(c));
}

void FakeWindows::CreateButton(int number, Rect where, const QString& text) {
  Control c;
  c.window = w_.currentWindow;
  c.kind = "button";
  c.where = where;
  c.text = text;
  Place(number, std::move(c));
}

QString FakeWindows::Text(int control) {
  return w_.ControlText(control);
}

void FakeWindows::SetLabelFor(int label, int control) {
  w_.Record("labelfor", std::to_string(label) + " " + std::to_string(control));
}

void FakeWindows::SetFont(int control, int font) {
  auto it = w_.controls.find(control);
  if (it != w_.controls.end()) it->second.font = font;
}

void FakeWindows::SetTextColour(int control, Colour colour) {
  auto it = w_.controls.find(control);
  if (it != w_.controls.end()) it->second.colour = colour;
}

void FakeWindows::LoadFont(int number, const QString& face, int points, bool bold, bool proof) {
  w_.fonts[number] = Str(face) + " " + std::to_string(points) + (bold ? " bold" : " normal") +
                     (proof ? " proof" : "");
  w_.Record("font", std::to_string(number) + " " + w_.fonts[number]);
}

EventCode FakeWindows::NextEvent() {
  if (w_.events.empty()) throw ScriptExhausted{};
  ScriptedEvent e = std::move(w_.events.front());
  w_.events.pop_front();
  w_.now += e.afterMs;
  if (e.before) e.before();
  if (e.code == EventCode::Control) {
    lastControl_ = e.control;
    w_.Record("event", "control " + std::to_string(e.control));
  }
  return e.code;
}

EventCode FakeWindows::TakeOneEvent() {
  w_.Record("take", "");
  return EventCode::None;
}

void FakeWindows::ShowMessageBox(const QString& title, const QString& text) {
  w_.Record("msgbox", Str(title) + ": " + Str(text));
  if (w_.onMessageBox) w_.onMessageBox(title, text);
}

void FakeWindows::ReleaseAll() {
  w_.windows.clear();
  w_.controls.clear();
  w_.fonts.clear();
  w_.Record("release", "all");
}

// ---------------------------------------------------------------- surface and keyboard

bool FakeSurface::Init() {
  return !w_.surfaceInitFails;
}
void FakeSurface::Open(int window, Rect where) {
  w_.Record("surface", std::to_string(window) + " " + RectText(where));
}
void FakeSurface::BeginDrawing() {
  ++w_.drawingDepth;
}
void FakeSurface::EndDrawing() {
  --w_.drawingDepth;
}
void FakeSurface::Present() {
  w_.Record("present", "");
}

bool FakeKeyboard::Init() {
  return !w_.keyboardInitFails;
}

void FakeKeyboard::Examine() {
  ++w_.examinations;
  const bool down = w_.escapeDown && w_.escapeDown(w_.examinations, w_.now);
  state_.Examine(w_.foreground, down);
}

// ---------------------------------------------------------------- time

void FakeTime::Wait(std::int64_t ms) {
  w_.Record("wait", std::to_string(ms));
  if (ms > 0) w_.now += ms;
}

void FakeTime::WaitForInput(std::int64_t ms) {
  w_.Record("idle", std::to_string(ms));
  if (ms > 0) w_.now += ms;
}

std::int64_t FakeTime::MsToNextSecond() {
  return 1000 - w_.start.addMSecs(w_.now).time().msec();
}

QString FakeTime::Format(const QString& mask) {
  const QDateTime t = w_.start.addMSecs(w_.now);
  const DateTimeParts parts{t.date().year(), t.date().month(),  t.date().day(),
                            t.time().hour(), t.time().minute(), t.time().second()};
  return FormatDateMask(mask, parts);
}

// ---------------------------------------------------------------- sound, serial, beep

bool FakeSound::Init() {
  if (initCalls_++ == 0) initResult_ = !w_.noSoundOutput;
  return initResult_;
}

SoundId FakeSound::MakeSound(std::span<const std::uint8_t> wavImage) {
  if (w_.soundNotAccepted) return kNoSound;
  const SoundId id = next_++;
  sounds_[id] = Pitch(wavImage);
  ++w_.liveSounds;
  return id;
}

void FakeSound::Play(SoundId sound) {
  w_.Record("tone", "on " + sounds_[sound]);
}
void FakeSound::Stop(SoundId) {
  w_.Record("tone", "off");
}

void FakeSound::ReleaseSound(SoundId sound) {
  if (sounds_.erase(sound) != 0) --w_.liveSounds;
}

void FakeSound::Shutdown() {
  w_.Record("sound", "shutdown");
}

PortId FakeSerial::Open(const QString& name, const SerialSettings&) {
  if (w_.workingPorts.count(name) == 0) {
    w_.Record("port", "cannot open \"" + Str(name) + "\"");
    return kNoPort;
  }
  ++w_.openPorts;
  w_.Record("dtr", "up");
  return next_++;
}

void FakeSerial::Close(PortId) {
  --w_.openPorts;
  w_.Record("dtr", "down");
}

bool FakeBeep::Acquire() {
  return w_.beepAvailable;
}

void FakeBeep::Beep(int hz, std::int64_t ms) {
  w_.Record("beep", std::to_string(hz) + " " + std::to_string(ms));
  w_.now += ms;
}

}  // namespace tonvirke::fake

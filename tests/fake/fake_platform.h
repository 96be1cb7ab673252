#pragma once
// A deterministic platform for the tests: a virtual clock and a recorded timeline of everything
// the keyer does to the outside world.

#include <QDateTime>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/facilities.h"
#include "platform/key_state.h"
#include "platform/text_files.h"

namespace tonvirke::fake {

struct Entry {
  std::int64_t t;
  std::string kind;  // tone, dtr, wait, label, field, button, window, msgbox, beep, present, ...
  std::string text;
};

struct Control {
  int window = 0;
  std::string kind;  // label, field, button
  Rect where;
  QString text;  // a label's first 256 characters
  qsizetype length = 0;
  bool sunken = false;
  bool capitals = false;
  int font = -1;
  Colour colour{-1, -1, -1};
};

// A scripted window-system delivery; `before` runs just before it is delivered (e.g. typing).
struct ScriptedEvent {
  EventCode code = EventCode::Timer;
  int control = 0;
  std::int64_t afterMs = 0;
  std::function<void()> before;
};

// Thrown by NextEvent when the script has nothing more to deliver.
struct ScriptExhausted {};

class FakePlatform;

class FakeWindows final : public WindowSystem {
 public:
  explicit FakeWindows(FakePlatform& w) : w_(w) {}
  void OpenWindow(int number, Rect client, const QString& title) override;
  void CloseWindow(int number) override;
  void AddTimer(int window, int timer, int periodMs) override;
  void CreateLabel(int number, Rect where, const QString& text, bool sunken,
                   int window = kCurrentWindow) override;
  void CreateField(int number, Rect where, const QString& text, bool capitals) override;
  void CreateButton(int number, Rect where, const QString& text) override;
  QString Text(int control) override;
  void SetLabelFor(int label, int control) override;
  void SetFont(int control, int font) override;
  void SetTextColour(int control, Colour colour) override;
  void LoadFont(int number, const QString& face, int points, bool bold, bool proof) override;
  EventCode NextEvent() override;
  EventCode TakeOneEvent() override;
  int LastEventControl() override { return lastControl_; }
  void ShowMessageBox(const QString& title, const QString& text) override;
  void ReleaseAll() override;

 private:
  void Place(int number, Control control);
  FakePlatform& w_;
  int lastControl_ = 0;
};

class FakeSurface final : public DrawingSurface {
 public:
  explicit FakeSurface(FakePlatform& w) : w_(w) {}
  bool Init() override;
  void Open(int window, Rect where) override;
  void Clear(Colour) override {}
  void BeginDrawing() override;
  void EndDrawing() override;
  void FillRect(Rect, Colour) override {}
  void Present() override;
  void Close() override {}

 private:
  FakePlatform& w_;
};

class FakeKeyboard final : public Keyboard {
 public:
  explicit FakeKeyboard(FakePlatform& w) : w_(w) {}
  bool Init() override;
  void Examine() override;
  bool EscapeReleased() override { return state_.Released(); }
  void Release() override { state_.Reset(); }

 private:
  FakePlatform& w_;
  EscapeState state_;
};

class FakeTime final : public Delay, public LocalClock {
 public:
  explicit FakeTime(FakePlatform& w) : w_(w) {}
  void Wait(std::int64_t ms) override;
  void WaitForInput(std::int64_t ms) override;
  QString Format(const QString& mask) override;
  std::int64_t MsToNextSecond() override;

 private:
  FakePlatform& w_;
};

class FakeSound final : public SoundOutput {
 public:
  explicit FakeSound(FakePlatform& w) : w_(w) {}
  bool Init() override;
  SoundId MakeSound(std::span<const std::uint8_t> wavImage) override;
  void Play(SoundId sound) override;
  void Stop(SoundId sound) override;
  void ReleaseSound(SoundId sound) override;
  void Shutdown() override;

 private:
  FakePlatform& w_;
  std::map<SoundId, std::string> sounds_;
  SoundId next_ = 1;
  int initCalls_ = 0;
  bool initResult_ = false;
};

class FakeSerial final : public SerialPorts {
 public:
  explicit FakeSerial(FakePlatform& w) : w_(w) {}
  PortId Open(const QString& name, const SerialSettings& settings) override;
  void Close(PortId port) override;
  void CloseAll() override {}

 private:
  FakePlatform& w_;
  PortId next_ = 1;
};

class FakeBeep final : public SystemBeep {
 public:
  explicit FakeBeep(FakePlatform& w) : w_(w) {}
  bool Acquire() override;
  void Beep(int hz, std::int64_t ms) override;
  void Release() override {}

 private:
  FakePlatform& w_;
};

class FakePlatform {
 public:
  FakePlatform() = default;
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;
  Facilities facilities() {
    return {windowSystem, surface, keyboard, time, time, sound, serial, beep, files};
  }

  // --- switches and scripts ---
  bool surfaceInitFails = false;
  bool keyboardInitFails = false;
  bool noSoundOutput = false;
  bool soundNotAccepted = false;
  bool beepAvailable = true;
  std::set<QString> workingPorts;  // names that open
  bool foreground = true;
  bool recording = true;  // off for runs too long to keep a timeline of
  // Physical state of Escape at an examination (counted from 1) at virtual time t.
  std::function<bool(int examination, std::int64_t t)> escapeDown;
  std::deque<ScriptedEvent> events;
  std::function<void(const QString&, const QString&)> onMessageBox;
  QDateTime start = QDateTime(QDate(2025, 11, 27), QTime(15, 21, 7), Qt::UTC);

  // --- observations ---
  std::int64_t now = 0;
  std::vector<Entry> timeline;
  std::map<int, Control> controls;
  std::map<int, QString> windows;  // number -> title
  int currentWindow = 0;
  int examinations = 0;
  int liveSounds = 0;
  int openPorts = 0;
  int drawingDepth = 0;
  std::map<int, std::string> fonts;

  // Timeline entries of the given kinds as "t kind text" lines (all kinds when empty).
  std::vector<std::string> Lines(std::initializer_list<const char*> kinds = {}) const;
  void Record(std::string kind, std::string text);
  QString ControlText(int number) const;
  // Every placement of label `number` as "number x,y,w,h text", in order.
  std::vector<std::string> LabelPlacements(int number) const;
  bool Has(int number) const { return controls.count(number) != 0; }

  FakeWindows windowSystem{*this};
  FakeSurface surface{*this};
  FakeKeyboard keyboard{*this};
  FakeTime time{*this};
  FakeSound sound{*this};
  FakeSerial serial{*this};
  FakeBeep beep{*this};
  LocalTextFiles files;
};

}  // namespace tonvirke::fake

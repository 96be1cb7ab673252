#pragma once
// The outside world as the keyer sees it: one small interface per kind of facility.
// The program uses the real implementations; the tests use a deterministic fake.

#include <QString>
#include <cstdint>
#include <memory>
#include <span>

namespace tonvirke {

struct Colour {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Colour&) const = default;
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

enum class EventCode { None, Control, Close, Timer, Other };

// Creating into this "window" means the current window (the one opened last).
inline constexpr int kCurrentWindow = -1;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Opens (or replaces) a top-level window, centred, shown and active; it becomes current.
  virtual void OpenWindow(int number, Rect client, const QString& title) = 0;
  virtual void CloseWindow(int number) = 0;
  virtual void AddTimer(int window, int timer, int periodMs) = 0;

  virtual void CreateLabel(int number, Rect where, const QString& text, bool sunken,
                           int window = kCurrentWindow) = 0;
  virtual void CreateField(int number, Rect where, const QString& text, bool capitals) = 0;
  virtual void CreateButton(int number, Rect where, const QString& text) = 0;
  virtual QString Text(int control) = 0;
  // Names `control` after the caption `label` for assistive technology (a screen reader
  // announces the field by the label beside it); holds for later creations under the number.
  virtual void SetLabelFor(int label, int control) = 0;
  virtual void SetFont(int control, int font) = 0;
  virtual void SetTextColour(int control, Colour colour) = 0;

  virtual void LoadFont(int number, const QString& face, int points, bool bold, bool proof) = 0;

  // Blocks until anything arrives for the program's windows.
  virtual EventCode NextEvent() = 0;
  // Processes at most one pending delivery without waiting.
  virtual EventCode TakeOneEvent() = 0;
  virtual int LastEventControl() = 0;

  virtual void ShowMessageBox(const QString& title, const QString& text) = 0;

  // Releases every window, control and font.
  virtual void ReleaseAll() = 0;
};

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  virtual bool Init() = 0;
  virtual void Open(int window, Rect where) = 0;
  virtual void Clear(Colour colour) = 0;
  virtual void BeginDrawing() = 0;
  virtual void EndDrawing() = 0;
  virtual void FillRect(Rect where, Colour colour) = 0;
  // Shows the back buffer; returns at the display's next refresh.
  virtual void Present() = 0;
  virtual void Close() = 0;
};

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  virtual bool Init() = 0;
  virtual void Examine() = 0;
  virtual bool EscapeReleased() = 0;
  virtual void Release() = 0;
};

class Delay {
 public:
  virtual ~Delay() = default;
  // Negative returns at once; zero yields the processor once.
  virtual void Wait(std::int64_t ms) = 0;
  // Waits up to `ms`, returning earlier when the window system has something new for the
  // program (a key pressed or let go, say). Not for timing: for polling without a busy loop.
  virtual void WaitForInput(std::int64_t ms) = 0;
};

class LocalClock {
 public:
  virtual ~LocalClock() = default;
  // The mask with %yyyy %mm %dd %hh %ii %ss (either case) replaced by the current local time.
  virtual QString Format(const QString& mask) = 0;
  // Milliseconds until the displayed second next changes (1 to 1000).
  virtual std::int64_t MsToNextSecond() = 0;
};

using SoundId = std::uint32_t;
inline constexpr SoundId kNoSound = 0;

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Only the first call does the work; later calls return its outcome.
  virtual bool Init() = 0;
  virtual SoundId MakeSound(std::span<const std::uint8_t> wavImage) = 0;
  virtual void Play(SoundId sound) = 0;  // looping, from the first sample
  virtual void Stop(SoundId sound) = 0;
  virtual void ReleaseSound(SoundId sound) = 0;
  virtual void Shutdown() = 0;
};

struct SerialSettings {
  int baud = 19200;
  int dataBits = 8;
  int stopBits = 1;
  bool parity = false;
  bool handshake = false;
  int inputBuffer = 1024;
  int outputBuffer = 1024;
};

using PortId = std::uint32_t;
inline constexpr PortId kNoPort = 0;

class SerialPorts {
 public:
  virtual ~SerialPorts() = default;
  // DTR is active from the return of a successful open until Close.
  virtual PortId Open(const QString& name, const SerialSettings& settings) = 0;
  virtual void Close(PortId port) = 0;
  virtual void CloseAll() = 0;
};

class SystemBeep {
 public:
  virtual ~SystemBeep() = default;
  virtual bool Acquire() = 0;
  // Returns when the tone has ended.
  virtual void Beep(int hz, std::int64_t ms) = 0;
  virtual void Release() = 0;
};

class TextFile {
 public:
  virtual ~TextFile() = default;  // closes the file
  virtual bool AtEnd() = 0;
  virtual QString ReadLine() = 0;
  virtual void Write(const QString& text) = 0;
  virtual void WriteLine(const QString& text) = 0;  // text, then CR LF
  // Everything written reaches the file; false when it could not.
  virtual bool Close() = 0;
};

class TextFiles {
 public:
  virtual ~TextFiles() = default;
  // Each returns null on failure; an open file is held exclusively.
  virtual std::unique_ptr<TextFile> OpenRead(const QString& name) = 0;
  virtual std::unique_ptr<TextFile> Create(const QString& name) = 0;
  virtual std::unique_ptr<TextFile> OpenAppend(const QString& name) = 0;
};

// The set the program holds for its whole life.
struct Facilities {
  WindowSystem& windows;
  DrawingSurface& surface;
  Keyboard& keyboard;
  Delay& delay;
  LocalClock& clock;
  SoundOutput& sound;
  SerialPorts& serial;
  SystemBeep& beep;
  TextFiles& files;
};

}  // namespace tonvirke

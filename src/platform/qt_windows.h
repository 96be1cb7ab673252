#pragma once
// The window system, drawing surface and keyboard polling on Qt Widgets (and X11 for the keys).

#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <deque>
#include <map>
#include <memory>

#include "platform/facilities.h"
#include "platform/key_state.h"

class QTimer;

namespace tonvirke {

class QtWindowSystem;

// A top-level window whose close box only reports the request.
class KeyerWindow final : public QWidget {
 public:
  KeyerWindow(QtWindowSystem& owner, int number);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QtWindowSystem& owner_;
};

class QtWindowSystem final : public QObject, public WindowSystem {
 public:
  QtWindowSystem();
  ~QtWindowSystem() override;

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

  QWidget* Window(int number) const;
  void Push(EventCode code, int control = 0);
  // Lets the windows repaint and answer the window manager, taking no input, until shortly
  // before the deadline.
  void RepaintUntil(std::chrono::steady_clock::time_point deadline);
  // Sleeps in the event loop, taking no input, until anything arrives or the deadline passes.
  void WaitForInputUntil(std::chrono::steady_clock::time_point deadline);
  std::size_t ControlCount() const { return controls_.size(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Pending {
    EventCode code;
    int control;
  };
  void Place(int number, QWidget* widget, Rect where);
  void ApplyCaption(int control);
  void WakeQueue();

  std::map<int, std::unique_ptr<KeyerWindow>> windows_;
  std::map<int, QPointer<QWidget>> controls_;
  std::map<int, QFont> fonts_;
  std::map<int, int> captions_;  // control -> the label that names it
  std::deque<Pending> queue_;
  int current_ = 0;
  int lastControl_ = 0;
  std::chrono::steady_clock::time_point lastRepaint_{};
};

class SurfaceWidget;

class QtDrawingSurface final : public DrawingSurface {
 public:
  explicit QtDrawingSurface(QtWindowSystem& windows) : windows_(windows) {}
  ~QtDrawingSurface() override;
  bool Init() override;
  void Open(int window, Rect where) override;
  void Clear(Colour colour) override;
  void BeginDrawing() override { drawing_ = true; }
  void EndDrawing() override { drawing_ = false; }
  void FillRect(Rect where, Colour colour) override;
  void Present() override;
  void Close() override;
  // The window that holds the surface; keyboard polling is bound to it.
  QWidget* HostWindow() const;

 private:
  QtWindowSystem& windows_;
  QPointer<SurfaceWidget> widget_;
  QImage back_;
  bool drawing_ = false;
};

class QtKeyboard final : public QObject, public Keyboard {
 public:
  explicit QtKeyboard(QtDrawingSurface& surface) : surface_(surface) {}
  bool Init() override;
  void Examine() override;
  bool EscapeReleased() override { return state_.Released(); }
  void Release() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool PhysicalEscape(QWidget* host, bool* readable);
  QtDrawingSurface& surface_;
  EscapeState state_;
  void* connection_ = nullptr;  // xcb_connection_t when on X11
  std::uint8_t escapeKeycode_ = 0;
  bool escapeDownByEvents_ = false;
};

}  // namespace tonvirke

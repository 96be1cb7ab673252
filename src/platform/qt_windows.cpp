#include "platform/qt_windows.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QValidator>
#include <cmath>
#include <thread>

#include "platform/delay.h"

namespace tonvirke {

namespace {

constexpr int kMaxFieldLength = 1048576;
constexpr auto kRepaintMargin = std::chrono::milliseconds(3);

// Turns every letter typed or pasted into a capital ("å" becomes "Å").
class CapitalsValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

xcb_connection_t* X11Connection() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace

class SurfaceWidget final : public QWidget {
 public:
  explicit SurfaceWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  QImage front;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, front);
  }
};

// ------------------------------------------------------------------------------------- windows

KeyerWindow::KeyerWindow(QtWindowSystem& owner, int number)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      owner_(owner) {
  setObjectName(QStringLiteral("window%1").arg(number));
}

void KeyerWindow::closeEvent(QCloseEvent* event) {
  // The close box, the system menu's Close and the close shortcut never close a window.
  event->ignore();
  owner_.Push(EventCode::Close);
}

QtWindowSystem::QtWindowSystem() {
  qApp->installEventFilter(this);
}

QtWindowSystem::~QtWindowSystem() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
  ReleaseAll();
}

QWidget* QtWindowSystem::Window(int number) const {
  auto it = windows_.find(number);
  return it == windows_.end() ? nullptr : it->second.get();
}

void QtWindowSystem::Push(EventCode code, int control) {
  // Timer ticks only wake the loop: one pending is enough.
  if (code == EventCode::Timer && !queue_.empty() && queue_.back().code == EventCode::Timer) {
    return;
  }
  queue_.push_back({code, control});
}

bool QtWindowSystem::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if ((t == QEvent::KeyPress || t == QEvent::KeyRelease) && watched->isWidgetType()) {
    // Every key wakes the loop, so that a short tap of Escape is examined held and released.
    Push(EventCode::Other);
  }
  return false;
}

void QtWindowSystem::OpenWindow(int number, Rect client, const QString& title) {
  CloseWindow(number);
  auto window = std::make_unique<KeyerWindow>(*this, number);
  window->setWindowTitle(title);
  window->setFixedSize(client.width, client.height);
  window->setAutoFillBackground(true);
  window->show();
  // The frame is known only once the window manager has framed the window.
  for (int i = 0; i < 20 && window->frameGeometry().size() == window->size(); ++i) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (QScreen* screen = window->screen()) {
    const QRect display = screen->geometry();
    const QSize frame = window->frameGeometry().size();
    window->move(display.x() + (display.width() - std::min(display.width(), frame.width())) / 2,
                 display.y() + (display.height() - std::min(display.height(), frame.height())) / 2);
  }
  window->raise();
  window->activateWindow();
  current_ = number;
  windows_[number] = std::move(window);
}

void QtWindowSystem::CloseWindow(int number) {
  auto it = windows_.find(number);
  if (it == windows_.end()) return;
  std::unique_ptr<KeyerWindow> window = std::move(it->second);
  windows_.erase(it);
  window->hide();
  window.reset();  // its controls go with it; their QPointers turn null
  std::erase_if(controls_, [](const auto& c) { return c.second.isNull(); });
}

void QtWindowSystem::AddTimer(int window, int, int periodMs) {
  QWidget* w = Window(window);
  if (w == nullptr) return;
  auto* timer = new QTimer(w);
  QObject::connect(timer, &QTimer::timeout, this, [this] { Push(EventCode::Timer); });
  timer->start(periodMs);
}

void QtWindowSystem::Place(int number, QWidget* widget, Rect where) {
  auto it = controls_.find(number);
  if (it != controls_.end()) {
    delete it->second.data();
    controls_.erase(it);
  }
  widget->setGeometry(where.x, where.y, where.width, where.height);
  widget->show();
  controls_[number] = widget;
  ApplyCaption(number);
}

void QtWindowSystem::SetLabelFor(int label, int control) {
  captions_[control] = label;
  ApplyCaption(control);
}

void QtWindowSystem::ApplyCaption(int control) {
  auto caption = captions_.find(control);
  if (caption == captions_.end()) return;
  auto target = controls_.find(control);
  auto label = controls_.find(caption->second);
  if (target == controls_.end() || label == controls_.end() || target->second.isNull()) return;
  auto* captionLabel = qobject_cast<QLabel*>(label->second.data());
  if (captionLabel == nullptr) return;
  target->second->setAccessibleName(captionLabel->text().trimmed());
  if (qobject_cast<QLabel*>(target->second.data()) == nullptr) {
    captionLabel->setBuddy(target->second.data());
  } else {
    // A display label: its name is the caption, what it shows is its description.
    target->second->setAccessibleDescription(static_cast<QLabel*>(target->second.data())->text());
  }
}

void QtWindowSystem::CreateLabel(int number, Rect where, const QString& text, bool sunken,
                                 int window) {
  QWidget* parent = Window(window == kCurrentWindow ? current_ : window);
  if (parent == nullptr) return;
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  // On the face colour, like a standard static control; an empty label stays invisible.
  label->setAutoFillBackground(!text.isEmpty() || sunken);
  if (sunken) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // A label shows one line from its left edge; no character past two per pixel can be seen,
  // and cutting there keeps a growing text (the text sent so far) cheap to show.
  const QString shown = text.left(std::max(64, where.width / 2));
  label->setText(shown);
  label->setAccessibleName(shown);  // a status label is named by what it says
  Place(number, label, where);
}

void QtWindowSystem::CreateField(int number, Rect where, const QString& text, bool capitals) {
  QWidget* parent = Window(current_);
  if (parent == nullptr) return;
  auto* field = new QLineEdit(parent);
  field->setMaxLength(kMaxFieldLength);
  if (capitals) field->setValidator(new CapitalsValidator(field));
  field->setText(text);
  field->setCursorPosition(0);
  QObject::connect(field, &QLineEdit::textEdited, this,
                   [this, number] { Push(EventCode::Control, number); });
  Place(number, field, where);
}

void QtWindowSystem::CreateButton(int number, Rect where, const QString& text) {
  QWidget* parent = Window(current_);
  if (parent == nullptr) return;
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, this,
                   [this, number] { Push(EventCode::Control, number); });
  Place(number, button, where);
}

QString QtWindowSystem::Text(int control) {
  auto it = controls_.find(control);
  if (it == controls_.end() || it->second.isNull()) return {};
  if (auto* field = qobject_cast<QLineEdit*>(it->second.data())) return field->text();
  if (auto* label = qobject_cast<QLabel*>(it->second.data())) return label->text();
  if (auto* button = qobject_cast<QPushButton*>(it->second.data())) return button->text();
  return {};
}

void QtWindowSystem::SetFont(int control, int font) {
  auto c = controls_.find(control);
  auto f = fonts_.find(font);
  if (c != controls_.end() && !c->second.isNull() && f != fonts_.end()) {
    c->second->setFont(f->second);
  }
}

void QtWindowSystem::SetTextColour(int control, Colour colour) {
  auto c = controls_.find(control);
  if (c == controls_.end() || c->second.isNull()) return;
  QPalette palette = c->second->palette();
  palette.setColor(QPalette::WindowText, QColor(colour.red, colour.green, colour.blue));
  c->second->setPalette(palette);
  c->second->update();
}

void QtWindowSystem::LoadFont(int number, const QString& face, int points, bool bold, bool proof) {
  QScreen* screen = QGuiApplication::primaryScreen();
  double dpi = 96.0;  // when the display's resolution cannot be read
  if (screen != nullptr && screen->logicalDotsPerInchY() > 0) dpi = screen->logicalDotsPerInchY();
  QFont font(face);
  font.setPixelSize(static_cast<int>(std::lround(points * dpi / 72.0)));
  font.setBold(bold);
  font.setStyleStrategy(proof ? QFont::PreferQuality : QFont::PreferDefault);
  fonts_[number] = font;
}

void QtWindowSystem::WakeQueue() {
  // Input held back during a wait is delivered only once the X connection has something new.
  xcb_connection_t* c = X11Connection();
  QWidget* w = Window(current_);
  if (c == nullptr || w == nullptr) return;
  static const xcb_atom_t atom = [c] {
    const char name[] = "_TONVIRKE_WAKE";
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    xcb_atom_t a = XCB_ATOM_NONE;
    if (reply != nullptr) a = reply->atom;
    free(reply);
    return a;
  }();
  if (atom == XCB_ATOM_NONE) return;
  const std::uint32_t value = 0;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(w->winId()), atom,
                      XCB_ATOM_CARDINAL, 32, 1, &value);
  xcb_flush(c);
}

EventCode QtWindowSystem::NextEvent() {
  if (queue_.empty()) WakeQueue();
  while (queue_.empty()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const Pending e = queue_.front();
  queue_.pop_front();
  if (e.code == EventCode::Control) lastControl_ = e.control;
  return e.code;
}

EventCode QtWindowSystem::TakeOneEvent() {
  WakeQueue();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (queue_.empty()) return EventCode::None;
  const Pending e = queue_.front();
  queue_.pop_front();
  if (e.code == EventCode::Control) lastControl_ = e.control;
  return e.code;
}

void QtWindowSystem::RepaintUntil(std::chrono::steady_clock::time_point deadline) {
  const auto until = deadline - kRepaintMargin;
  const auto now = std::chrono::steady_clock::now();
  if (now >= until) {
    // Waits too short to repaint in (the 1 ms passes of the wait for the start minute):
    // catch up on what is pending now and then, not on every pass.
    if (now - lastRepaint_ >= std::chrono::milliseconds(50) && now < deadline) {
      lastRepaint_ = now;
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return;
  }
  lastRepaint_ = now;
  bool due = false;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, [&due] { due = true; });
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      until - std::chrono::steady_clock::now());
  timer.start(static_cast<int>(std::min<std::int64_t>(left.count(), 1 << 30)));
  while (!due && std::chrono::steady_clock::now() < until) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                    QEventLoop::WaitForMoreEvents);
  }
}

void QtWindowSystem::WaitForInputUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) return;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  timer.start(static_cast<int>(std::min<std::int64_t>(left.count(), 1 << 30)));
  // Any wake-up counts: a key event arriving from the X server wakes this even though it is
  // not delivered, and the caller then examines the keyboard.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                  QEventLoop::WaitForMoreEvents);
  lastRepaint_ = std::chrono::steady_clock::now();
}

void QtWindowSystem::ShowMessageBox(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

void QtWindowSystem::ReleaseAll() {
  while (!windows_.empty()) CloseWindow(windows_.begin()->first);
  controls_.clear();
  fonts_.clear();
  captions_.clear();
  queue_.clear();
}

// ------------------------------------------------------------------------------ drawing surface

QtDrawingSurface::~QtDrawingSurface() {
  Close();
}

bool QtDrawingSurface::Init() {
  return QGuiApplication::primaryScreen() != nullptr;
}

void QtDrawingSurface::Open(int window, Rect where) {
  Close();
  QWidget* host = windows_.Window(window);
  if (host == nullptr) return;
  widget_ = new SurfaceWidget(host);
  widget_->setGeometry(where.x, where.y, where.width, where.height);
  widget_->lower();
  widget_->show();
  back_ = QImage(std::max(1, where.width), std::max(1, where.height), QImage::Format_RGB32);
  back_.fill(Qt::white);
  widget_->front = back_;
}

void QtDrawingSurface::Clear(Colour colour) {
  back_.fill(QColor(colour.red, colour.green, colour.blue));
}

void QtDrawingSurface::FillRect(Rect where, Colour colour) {
  if (!drawing_ || back_.isNull()) return;
  QPainter painter(&back_);
  painter.fillRect(where.x, where.y, where.width, where.height,
                   QColor(colour.red, colour.green, colour.blue));
}

void QtDrawingSurface::Present() {
  if (!widget_.isNull()) {
    widget_->front = back_;
    widget_->update();
  }
  // Returns at the next 60 Hz frame boundary.
  using namespace std::chrono;
  const auto frame = nanoseconds(1'000'000'000 / 60);
  const auto now = steady_clock::now().time_since_epoch();
  RealDelay::SleepUntil(steady_clock::time_point((now / frame + 1) * frame));
}

void QtDrawingSurface::Close() {
  delete widget_.data();
  widget_ = nullptr;
}

QWidget* QtDrawingSurface::HostWindow() const {
  return widget_.isNull() ? nullptr : widget_->window();
}

// ------------------------------------------------------------------------------------ keyboard

bool QtKeyboard::Init() {
  auto* c = X11Connection();
  if (c != nullptr) {
    // Find the keycode of the Escape keysym in the server's keyboard map.
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(count)),
        nullptr);
    if (map != nullptr) {
      const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
      for (int k = 0; k < count && escapeKeycode_ == 0; ++k) {
        for (int s = 0; s < map->keysyms_per_keycode; ++s) {
          if (syms[k * map->keysyms_per_keycode + s] == 0xff1b) {
            escapeKeycode_ = static_cast<std::uint8_t>(setup->min_keycode + k);
            break;
          }
        }
      }
      free(map);
    }
    if (escapeKeycode_ != 0) connection_ = c;
  }
  // Without X11 the key state follows Qt's key events instead.
  qApp->installEventFilter(this);
  state_.Reset();
  return true;
}

void QtKeyboard::Release() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
  state_.Reset();
}

bool QtKeyboard::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) {
      escapeDownByEvents_ = event->type() == QEvent::KeyPress;
    }
  }
  return false;
}

bool QtKeyboard::PhysicalEscape(QWidget* host, bool* readable) {
  auto* c = static_cast<xcb_connection_t*>(connection_);
  if (c == nullptr) {
    *readable = host->isActiveWindow();
    return escapeDownByEvents_;
  }
  const auto focusCookie = xcb_get_input_focus(c);
  const auto keysCookie = xcb_query_keymap(c);
  xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(c, focusCookie, nullptr);
  xcb_query_keymap_reply_t* keys = xcb_query_keymap_reply(c, keysCookie, nullptr);
  *readable = focus != nullptr && keys != nullptr &&
              focus->focus == static_cast<xcb_window_t>(host->winId());
  const bool down =
      keys != nullptr && (keys->keys[escapeKeycode_ / 8] & (1u << (escapeKeycode_ % 8))) != 0;
  free(focus);
  free(keys);
  return down;
}

void QtKeyboard::Examine() {
  QWidget* host = surface_.HostWindow();
  bool readable = false;
  const bool down = host != nullptr && PhysicalEscape(host, &readable);
  state_.Examine(readable, down);
}

}  // namespace tonvirke

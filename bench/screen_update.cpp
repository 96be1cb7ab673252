// Prints what one character's screen update costs during a transmission (the status line and
// the text sent so far re-created, then painted) for messages of 10, 1,000 and 100,000
// characters. Usage: QT_QPA_PLATFORM=offscreen bench_screen_update  (or under an X server)

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/qt_windows.h"

using namespace tonvirke;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QtWindowSystem windows;
  windows.OpenWindow(7, {0, 0, 1280, 800}, QStringLiteral("bench"));
  const QString status = QStringLiteral("Meddelande nr 1 sänds ut");
  for (const int length : {10, 1000, 100000}) {
    QString sent = QStringLiteral(" ");
    std::vector<double> costs;
    for (int i = 0; i < length; ++i) {
      sent += QLatin1Char('E');
      const auto a = Clock::now();
      windows.CreateLabel(9, {390, 490, 200, 20}, status, false);
      windows.CreateLabel(12, {320, 370, 800, 20}, sent, true);
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      const auto b = Clock::now();
      // The last characters of the message, where the text sent so far is longest.
      if (i >= length - std::min(length, 200)) {
        costs.push_back(std::chrono::duration<double, std::milli>(b - a).count());
      }
    }
    std::sort(costs.begin(), costs.end());
    std::printf("message of %6d characters: one character's update median %.3f ms, max %.3f ms\n",
                length, costs[costs.size() / 2], costs.back());
  }
  return 0;
}

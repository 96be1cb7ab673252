#pragma once
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "platform/facilities.h"

class QSerialPort;

namespace tonvirke {

// The keying line: a serial port whose DTR is active exactly while it is open.
class QtSerialPorts final : public SerialPorts {
 public:
  QtSerialPorts();
  ~QtSerialPorts() override;
  PortId Open(const QString& name, const SerialSettings& settings) override;
  void Close(PortId port) override;
  void CloseAll() override;

  // The character device a port name refers to, or empty.
  static QString DevicePath(const QString& name);
  // "COMn" is /dev/ttyS(n-1); other names are paths or names under /dev, matched ignoring case.
  static QString MapPortName(const QString& name);
  // Observes DTR changes (for benchmarks): true when raised.
  void SetDtrTrace(std::function<void(bool)> trace) { trace_ = std::move(trace); }
  std::size_t OpenCount() const { return ports_.size(); }

 private:
  std::map<PortId, std::unique_ptr<QSerialPort>> ports_;
  PortId next_ = 1;
  std::function<void(bool)> trace_;
  // The last name found and its device: every element opens the same port, and finding a
  // name under /dev means listing the folder.
  QString lastName_;
  QString lastPath_;
};

}  // namespace tonvirke

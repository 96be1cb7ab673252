#include "platform/serial_port.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QSerialPort>

namespace tonvirke {

namespace {

// Only character devices; QSerialPort itself refuses those that are not terminals. No probe
// open here: opening a real port raises DTR, which would key the transmitter for a moment.
bool IsCharacterDevice(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

}  // namespace

QtSerialPorts::QtSerialPorts() = default;
QtSerialPorts::~QtSerialPorts() {
  CloseAll();
}

QString QtSerialPorts::MapPortName(const QString& name) {
  if (name.isEmpty() || name.contains(QChar(u'\0'))) return {};
  QString path;
  bool isNumber = false;
  const int com =
      name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) ? name.mid(3).toInt(&isNumber) : 0;
  if (isNumber && com >= 1 && !name.mid(3).startsWith(QLatin1Char('+'))) {
    path = QStringLiteral("/dev/ttyS%1").arg(com - 1);
  } else if (name.startsWith(QLatin1Char('/'))) {
    path = name;
  } else if (!name.contains(QLatin1Char('/'))) {
    // The port field writes capitals: find the device under /dev without regard to case.
    const QStringList entries = QDir(QStringLiteral("/dev")).entryList(QDir::System | QDir::Files);
    for (const QString& entry : entries) {
      if (entry.compare(name, Qt::CaseInsensitive) == 0) {
        path = QStringLiteral("/dev/") + entry;
        if (entry == name) break;
      }
    }
  }
  return path;
}

QString QtSerialPorts::DevicePath(const QString& name) {
  const QString path = MapPortName(name);
  return !path.isEmpty() && IsCharacterDevice(path) ? path : QString();
}

PortId QtSerialPorts::Open(const QString& name, const SerialSettings& settings) {
  if (name != lastName_ || !IsCharacterDevice(lastPath_)) {
    lastName_ = name;
    lastPath_ = DevicePath(name);
  }
  const QString path = lastPath_;
  if (path.isEmpty()) return kNoPort;
  auto port = std::make_unique<QSerialPort>();
  port->setPortName(path);
  port->setReadBufferSize(settings.inputBuffer);
  // Set before the open, which applies them: after it, each would cost another round of
  // terminal settings inside the element's time.
  port->setBaudRate(settings.baud);
  port->setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits));
  port->setParity(settings.parity ? QSerialPort::EvenParity : QSerialPort::NoParity);
  port->setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
  port->setFlowControl(settings.handshake ? QSerialPort::HardwareControl
                                          : QSerialPort::NoFlowControl);
  if (!port->open(QIODevice::ReadWrite)) return kNoPort;
  // Pseudo-terminals have no modem lines and refuse these; the element goes on regardless.
  port->setRequestToSend(false);
  port->setDataTerminalReady(true);
  if (trace_) trace_(true);
  const PortId id = next_++;
  if (next_ == kNoPort) next_ = 1;
  ports_[id] = std::move(port);
  return id;
}

void QtSerialPorts::Close(PortId port) {
  auto it = ports_.find(port);
  if (it == ports_.end()) return;
  it->second->setDataTerminalReady(false);
  if (trace_) trace_(false);
  it->second->close();
  ports_.erase(it);
}

void QtSerialPorts::CloseAll() {
  while (!ports_.empty()) Close(ports_.begin()->first);
}

}  // namespace tonvirke

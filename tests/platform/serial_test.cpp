#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <cstdlib>
#include <fstream>

#include "platform/serial_port.h"

namespace tonvirke {
namespace {

struct PseudoTerminal {
  PseudoTerminal() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) {
      name = QString::fromLocal8Bit(::ptsname(master));
    }
  }
  ~PseudoTerminal() {
    if (master >= 0) ::close(master);
  }
  int master = -1;
  QString name;
};

TEST(SerialPort, APseudoTerminalOpensAndCloses) {
  PseudoTerminal pty;
  ASSERT_FALSE(pty.name.isEmpty());
  QtSerialPorts ports;
  std::vector<bool> dtr;
  ports.SetDtrTrace([&dtr](bool up) { dtr.push_back(up); });
  for (int i = 0; i < 3; ++i) {
    const PortId id = ports.Open(pty.name, SerialSettings{});
    ASSERT_NE(id, kNoPort);
    EXPECT_EQ(ports.OpenCount(), 1u);
    ports.Close(id);
    EXPECT_EQ(ports.OpenCount(), 0u);
  }
  EXPECT_EQ(dtr, (std::vector<bool>{true, false, true, false, true, false}));
}

TEST(SerialPort, APortAlreadyOpenIsRefused) {
  PseudoTerminal pty;
  ASSERT_FALSE(pty.name.isEmpty());
  QtSerialPorts holder;
  QtSerialPorts keyer;
  const PortId held = holder.Open(pty.name, SerialSettings{});
  ASSERT_NE(held, kNoPort);
  EXPECT_EQ(keyer.Open(pty.name, SerialSettings{}), kNoPort);
  holder.Close(held);
  const PortId free = keyer.Open(pty.name, SerialSettings{});
  EXPECT_NE(free, kNoPort) << "free again once the other opener has closed it";
  keyer.Close(free);
}

TEST(SerialPort, NamesThatAreNoTerminalAreRefused) {
  const std::string file = testing::TempDir() + "tonvirke-not-a-port";
  std::ofstream(file) << "x";
  QtSerialPorts ports;
  for (const QString& name :
       {QString(), QStringLiteral(" "), QStringLiteral(" COM9"), QStringLiteral("NOSUCHPORT"),
        QStringLiteral("/dev/null"), QString::fromStdString(file), QStringLiteral("/tmp"),
        QStringLiteral("COM0"), QStringLiteral("COM99999999999"), QStringLiteral("../etc")}) {
    EXPECT_EQ(ports.Open(name, SerialSettings{}), kNoPort) << name.toStdString();
  }
  std::remove(file.c_str());
}

TEST(SerialPort, PortNamesMapToDevices) {
  EXPECT_EQ(QtSerialPorts::DevicePath(QStringLiteral("/dev/ptmx")), QStringLiteral("/dev/ptmx"));
  EXPECT_EQ(QtSerialPorts::DevicePath(QStringLiteral("PTMX")), QStringLiteral("/dev/ptmx"))
      << "the port field writes capitals";
  EXPECT_EQ(QtSerialPorts::MapPortName(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
  EXPECT_EQ(QtSerialPorts::MapPortName(QStringLiteral("COM12")), QStringLiteral("/dev/ttyS11"));
  EXPECT_EQ(QtSerialPorts::DevicePath(QStringLiteral("/tmp")), QString()) << "not a device";
}

}  // namespace
}  // namespace tonvirke

#include <gtest/gtest.h>
#include <QCoreApplication>

// Qt SerialPort needs an application object, as in the program.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

#include "platform/real_platform.h"

int main(int argc, char** argv) {
  return tonvirke::RunRealProgram(argc, argv);
}

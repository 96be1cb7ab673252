#pragma once

namespace tonvirke {
// Prepares the real facilities (Qt, SDL2, Qt SerialPort, X11), runs the keyer, returns 0.
int RunRealProgram(int argc, char** argv);
}  // namespace tonvirke

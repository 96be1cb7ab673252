#pragma once

namespace tonvirke {
struct Program;
// Sends MessageText once: carrier and its pause, every character with its status, the pause
// between transmissions, then lets the window catch up.
void SendTransmission(Program& p);
void KeyCarrier(Program& p);
void PumpEventsOnce(Program& p);
void PumpEvents(Program& p);
}  // namespace tonvirke

#include "platform/key_state.h"

namespace tonvirke {

void EscapeState::Examine(bool readable, bool physicallyDown) {
  readable_ = readable;
  if (!readable) {
    restart_ = true;
    return;
  }
  if (restart_) {
    state_ = State::Up;
    restart_ = false;
  }
  if (physicallyDown) {
    state_ = State::Held;
  } else if (state_ == State::Held) {
    state_ = State::Released;
  } else {
    state_ = State::Up;
  }
}

void EscapeState::Reset() {
  state_ = State::Up;
  readable_ = false;
  restart_ = true;
}

}  // namespace tonvirke

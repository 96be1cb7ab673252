#pragma once

namespace tonvirke {

// The released-key rule of keyboard polling, for the Escape key: held while physically down,
// released for exactly one examination after being seen held, otherwise up.
class EscapeState {
 public:
  // One examination. `readable` is false while the keyed window is not in the foreground: the
  // state is kept, nothing is reported, and the next readable examination starts from all up.
  void Examine(bool readable, bool physicallyDown);
  bool Released() const { return readable_ && state_ == State::Released; }
  void Reset();

 private:
  enum class State { Up, Held, Released };
  State state_ = State::Up;
  bool readable_ = false;
  bool restart_ = true;
};

}  // namespace tonvirke

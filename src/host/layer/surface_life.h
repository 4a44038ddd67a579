#pragma once
// What becomes of a widget's layer surface when the compositor closes it (its output went): it
// is destroyed, and the widget waits for an output to come, or to change, before asking for a
// surface again. Asking at once would loop where no output is left to show it on; waiting
// for an output event also covers compositors that only re-enable an output and those that
// announce it anew.
namespace korvel::host {

// What the host does with the surface on this turn of its loop.
struct SurfaceStep {
  bool destroy = false;
  bool create = false;
  bool operator==(const SurfaceStep&) const = default;
};

class SurfaceLife {
 public:
  enum class State { shown, closed, waiting };

  State state() const { return state_; }

  // The compositor's `closed`: this surface will not be shown again.
  void close() {
    if (state_ == State::shown) state_ = State::closed;
  }

  // Once a turn, after the events are read: whether outputs came, went or changed since the last
  // turn, and whether any is there now.
  SurfaceStep step(bool outputsChanged, bool anyOutput) {
    SurfaceStep out;
    if (state_ == State::shown) return out;
    if (state_ == State::closed) {
      out.destroy = true;
      state_ = State::waiting;
    }
    if (outputsChanged && anyOutput) {
      out.create = true;
      state_ = State::shown;
    }
    return out;
  }

 private:
  State state_ = State::shown;
};

}  // namespace korvel::host

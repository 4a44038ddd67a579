#pragma once
// A click on a widget opens its deep link (korvel://week/limits, ...) with the desktop's handler
// for korvel: links. Hosts that read the pointer themselves (the layer host) tell a click from
// a press that left the widget with ClickTracker.
#include <optional>
#include <ostream>
#include <string>

namespace korvel::host {

// Which widget a primary button's release opens: the one the button went down on, as long as
// the pointer has not left it since.
class ClickTracker {
 public:
  void enter(int widget) {
    over_ = widget;
    pressedOn_.reset();
  }
  void leave() {
    over_.reset();
    pressedOn_.reset();
  }
  void press() { pressedOn_ = over_; }
  std::optional<int> release() {
    const std::optional<int> on = pressedOn_;
    pressedOn_.reset();
    return on && on == over_ ? on : std::nullopt;
  }

 private:
  std::optional<int> over_;
  std::optional<int> pressedOn_;
};

// Opens `url` with the handler registered for korvel: (x-scheme-handler/korvel). False, with one
// line on `log` starting with `who`, where there is none or it cannot be started.
bool openDeepLink(const std::string& url, std::ostream& log, const std::string& who);

}  // namespace korvel::host

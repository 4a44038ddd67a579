#include "base/error.h"

namespace korvel {

std::string Error::describe() const {
  if (where.empty()) return message;
  if (kind == ErrorKind::unwritable) return "cannot write " + where + ": " + message;
  return where + ": " + message;
}

int Error::exitCode() const { return kind == ErrorKind::usage ? 2 : 1; }

}  // namespace korvel

#pragma once
// One shape for everything that goes wrong: what kind of failure, where it applies, and the
// sentence the user reads. Callers branch on the kind and the place, never on the wording.
#include <string>
#include <variant>

namespace korvel {

enum class ErrorKind {
  unreadable,  // a file that cannot be opened or read whole (memory running out included)
  malformed,   // text that does not parse: JSON syntax, a configuration line
  invalid,     // a value of the wrong type, out of range or unknown
  refused,     // a well-formed snapshot the widgets cannot use (format version, days)
  usage,       // a command-line option the program cannot follow
  unwritable,  // an output file or folder that cannot be written
  undrawable,  // a drawing the graphics library could not make
  unavailable, // a service of the system the program needs: file watching, timers, signals
};

struct Error {
  ErrorKind kind = ErrorKind::invalid;
  // A key path ("outcomes.perDay[0][1]"), a text position ("line 3 column 14"), a file,
  // "FILE:LINE" of the configuration, an option ("--place"); empty when the whole input is
  // meant or the sentence names the place itself.
  std::string where;
  std::string message;

  // The text printed for it: "where: message" ("cannot write where: message" when unwritable),
  // or the message alone when there is no place.
  std::string describe() const;
  // The process's exit status when this error ends it: 2 for usage, 1 for any other.
  int exitCode() const;

  bool operator==(const Error&) const = default;
};

// What every fallible function returns: the value, or why there is none.
template <class T>
using Result = std::variant<T, Error>;

// A Result with nothing to give on success (`return {};`).
using Status = Result<std::monostate>;

}  // namespace korvel

#pragma once
// The only dates the widgets format themselves: the header's clock time and the age of stale
// data, in the user's locale and time zone (ICU's data and wording, characters kept as ICU
// gives them, such as the narrow no-break space before "PM").
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace korvel {

// The user's locale and time zone, as ICU identifiers ("en_US", "Europe/Berlin").
struct TimeSettings {
  std::string locale = "en_US";
  std::string timeZone = "UTC";
  bool operator==(const TimeSettings&) const = default;
};

// Looks an environment variable up; returns null when it is unset.
using EnvLookup = std::function<const char*(const char*)>;

struct ResolvedTimeSettings {
  TimeSettings settings;
  std::string warning;  // non-empty when an environment value was unusable and replaced
};

// Locale from LC_ALL, LC_TIME, LANG (first one set and not empty; "C" and "POSIX" mean the
// default); zone from TZ. Unset or unusable values fall back to en_US and UTC, the latter with a
// warning so a mistyped TZ does not go unnoticed.
ResolvedTimeSettings timeSettingsFromEnvironment(const EnvLookup& env);

// Turns a POSIX locale name ("de_DE.UTF-8@euro") or a language tag ("de-DE") into an ICU locale
// id; nothing when ICU has no data for its language.
std::optional<std::string> icuLocaleId(const std::string& name);
// The canonical zone id when ICU knows the zone ("UTC", ":Europe/Berlin" -> "Europe/Berlin").
std::optional<std::string> knownTimeZone(const std::string& name);

// Formatters for one locale and zone, built once (a pattern generator costs a third of a
// millisecond) and shared read-only by every header drawn with them. Copies are cheap.
class TimeFormat {
 public:
  TimeFormat();  // en_US, UTC (one shared set, built on first use)
  explicit TimeFormat(const TimeSettings& settings);

  const TimeSettings& settings() const;

  // Hour and minute of `seconds` after 1970-01-01 00:00 UTC, from the locale's "jm" skeleton:
  // "3:07 PM" (with U+202F) in en_US, "15:07" in de_DE. Empty when ICU cannot place the time
  // (non-finite, or beyond the calendar's range).
  std::string clockTime(double seconds) const;

  // How long before `asOf` the moment `since` lies, in the largest calendar unit with a whole
  // count of at least 1 (years, months, weeks, days, hours, minutes, seconds), the count
  // truncated: "3 hr. ago", "2 days ago". Empty when either time is out of ICU's range.
  std::string relativeAge(double since, double asOf) const;

 private:
  struct Impl;
  std::shared_ptr<const Impl> impl_;
};

}  // namespace korvel

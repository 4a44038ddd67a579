#pragma once
// The only dates the widgets format themselves: the header's clock time and the age of stale
// data, in the user's locale and time zone (ICU's data and wording, characters kept as ICU
// gives them, such as the narrow no-break space before "PM").
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace korvel {

// The user's locale and time zone, as ICU identifiers ("en_US", "Europe/Berlin") or, for a zone
// ICU does not name, a POSIX rule.
struct TimeSettings {
  std::string locale = "en_US";
  std::string timeZone = "UTC";
  bool operator==(const TimeSettings&) const = default;
};

// Looks an environment variable up; returns null when it is unset.
using EnvLookup = std::function<const char*(const char*)>;

struct ResolvedTimeSettings {
  TimeSettings settings;
  // Non-empty when an environment value was unusable and replaced: for the locale, the zone.
  std::string localeWarning, zoneWarning;
  std::string warning() const;  // both, in that order
};

// Locale from LC_ALL, LC_TIME, LANG (first one set and not empty; "C" and "POSIX" mean the
// default); zone from TZ, or with TZ unset the system's zone (the link `localtime`, else what
// ICU finds), as most desktops leave TZ unset. Unset or unusable values fall back to en_US and
// UTC, a mistyped TZ with a warning so that it does not go unnoticed.
ResolvedTimeSettings timeSettingsFromEnvironment(const EnvLookup& env,
                                                 const std::filesystem::path& localtime = "/etc/localtime");

// Turns a POSIX locale name ("de_DE.UTF-8@euro", "sr_RS.UTF-8@latin") or a language tag
// ("de-DE") into an ICU locale id ("de_DE", "sr_Latn_RS"); nothing when ICU has no data for its
// language.
std::optional<std::string> icuLocaleId(const std::string& name);
// The zone id for the forms TZ takes, when the zone is known: a name ICU knows ("UTC",
// ":Europe/Berlin" -> "Europe/Berlin"), a path into a zone database
// (":/usr/share/zoneinfo/Europe/Berlin" -> "Europe/Berlin") or a POSIX rule
// ("CET-1CEST,M3.5.0,M10.5.0/3", kept as written).
std::optional<std::string> knownTimeZone(const std::string& name);
// The zone of the system, from the link `localtime` points through (or the file ICU recognises).
std::optional<std::string> systemTimeZone(const std::filesystem::path& localtime);

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

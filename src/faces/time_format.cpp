#include "faces/time_format.h"

#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <utility>

#include <unicode/calendar.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/reldatefmt.h>
#include <unicode/simpletz.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/udisplaycontext.h>
#include <unicode/unistr.h>

namespace korvel {
namespace {

// ICU's calendars cover roughly +-5.8 million years; beyond that (and for non-finite values) a
// non-lenient calendar refuses the time, which is how we tell that it cannot be shown.
bool calendarAccepts(const icu::Calendar& prototype, double seconds) {
  if (!std::isfinite(seconds)) return false;
  std::unique_ptr<icu::Calendar> cal(prototype.clone());
  if (!cal) return false;
  cal->setLenient(false);
  UErrorCode status = U_ZERO_ERROR;
  cal->setTime(seconds * 1000.0, status);
  return U_SUCCESS(status);
}

std::string utf8(const icu::UnicodeString& s) {
  std::string out;
  s.toUTF8String(out);
  return out;
}

bool isPosixDefault(const std::string& name) {
  return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

// A zone written as a POSIX rule, "CET-1CEST,M3.5.0,M10.5.0/3": standard name and offset (hours
// west of Greenwich), then optionally the daylight name, its offset (one hour less by default)
// and when it starts and ends (by default as in the United States). Read by hand because ICU
// takes only zone names.
class PosixZoneReader {
 public:
  explicit PosixZoneReader(std::string_view s) : s_(s) {}

  std::unique_ptr<icu::TimeZone> read() {
    const icu::UnicodeString id = icu::UnicodeString::fromUTF8(std::string(s_));
    int32_t standard = 0;
    if (!name() || !offset(standard)) return nullptr;
    if (done()) return std::make_unique<icu::SimpleTimeZone>(-standard, id);
    int32_t daylight = standard - 3600 * 1000;
    if (!name() || (!done() && peek() != ',' && !offset(daylight))) return nullptr;
    Rule start{2, 2, 0, 2 * 3600 * 1000}, end{10, 1, 0, 2 * 3600 * 1000};
    if (!done() && !(take(',') && rule(start) && take(',') && rule(end) && done())) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    auto zone = std::make_unique<icu::SimpleTimeZone>(
        -standard, id, start.month, start.week, start.day, start.time, end.month, end.week, end.day,
        end.time, standard - daylight, status);
    return U_SUCCESS(status) ? std::move(zone) : nullptr;
  }

 private:
  struct Rule {  // as ICU counts: month from 0, week 1 to 4 or -1 (last), day 1 (Sunday) to 7
    int8_t month, week, day;
    int32_t time;  // milliseconds after midnight, wall time
  };

  bool done() const { return i_ == s_.size(); }
  char peek() const { return done() ? '\0' : s_[i_]; }
  bool take(char c) { return peek() == c && (++i_, true); }
  bool digits(int& out, int most) {
    const std::size_t from = i_;
    out = 0;
    while (!done() && std::isdigit(static_cast<unsigned char>(peek())) && i_ - from < 3) out = out * 10 + (s_[i_++] - '0');
    return i_ > from && out <= most;
  }
  bool name() {
    const std::size_t from = i_;
    if (take('<')) {
      while (!done() && peek() != '>') ++i_;
      return take('>') && i_ - from >= 5;
    }
    while (!done() && std::isalpha(static_cast<unsigned char>(peek()))) ++i_;
    return i_ - from >= 3;
  }
  bool time(int32_t& ms, int mostHours) {  // [+-]hh[:mm[:ss]]
    const int sign = take('-') ? -1 : (take('+'), 1);
    int h = 0, m = 0, sec = 0;
    if (!digits(h, mostHours)) return false;
    if (take(':') && (!digits(m, 59) || (take(':') && !digits(sec, 59)))) return false;
    ms = sign * ((h * 60 + m) * 60 + sec) * 1000;
    return true;
  }
  bool offset(int32_t& ms) { return time(ms, 24); }
  bool rule(Rule& r) {
    int month = 0, week = 0, day = 0;
    if (!take('M') || !digits(month, 12) || month < 1 || !take('.') || !digits(week, 5) || week < 1 ||
        !take('.') || !digits(day, 6)) {
      return false;  // the day-of-year forms (Jn and n) are too rare to be worth their code
    }
    r = {static_cast<int8_t>(month - 1), static_cast<int8_t>(week == 5 ? -1 : week), static_cast<int8_t>(day + 1),
         2 * 3600 * 1000};
    return !take('/') || time(r.time, 167);
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

bool icuKnowsZone(const std::string& id) {
  UErrorCode status = U_ZERO_ERROR;
  icu::UnicodeString canonical;
  UBool isSystemId = false;
  icu::TimeZone::getCanonicalID(icu::UnicodeString::fromUTF8(id), canonical, isSystemId, status);
  return U_SUCCESS(status) && !canonical.isEmpty() && canonical != icu::UnicodeString(u"Etc/Unknown");
}

std::unique_ptr<icu::TimeZone> makeZone(const std::string& id) {
  if (!icuKnowsZone(id)) {
    if (auto posix = PosixZoneReader(id).read()) return posix;
  }
  return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id)));
}

// The zone name in a path into a zone database: ".../zoneinfo/Europe/Berlin" -> "Europe/Berlin".
std::string zoneNameOfPath(const std::string& path) {
  const std::size_t at = path.rfind("zoneinfo/");
  return at == std::string::npos ? std::string() : path.substr(at + 9);
}

// Script modifiers of POSIX locale names ("sr_RS.UTF-8@latin") as ICU script codes; other
// modifiers ("@euro") change nothing ICU formats.
const char* scriptOfModifier(std::string_view modifier) {
  if (modifier == "latin") return "Latn";
  if (modifier == "cyrillic") return "Cyrl";
  if (modifier == "devanagari") return "Deva";
  return nullptr;
}

}  // namespace

// Each formatter is built on its first use: most headers need only the clock, and a relative
// formatter or a second set for a default-constructed request would load ICU data for nothing.
struct TimeFormat::Impl {
  struct Built {
    std::unique_ptr<icu::Calendar> calendar;  // prototype in the user's zone; cloned per use
    std::unique_ptr<icu::SimpleDateFormat> clock;
  };

  TimeSettings settings;

  explicit Impl(TimeSettings s) : settings(std::move(s)) {}

  const Built& built() const {
    std::call_once(builtOnce_, [this] { build(); });
    return built_;
  }

  const icu::RelativeDateTimeFormatter* relative() const {
    std::call_once(relativeOnce_, [this] {
      UErrorCode status = U_ZERO_ERROR;
      auto rel = std::make_unique<icu::RelativeDateTimeFormatter>(
          icu::Locale(settings.locale.c_str()), nullptr, UDAT_STYLE_SHORT,
          UDISPCTX_CAPITALIZATION_NONE, status);
      if (U_SUCCESS(status)) relative_ = std::move(rel);
    });
    return relative_.get();
  }

 private:
  void build() const {
    const icu::Locale locale(settings.locale.c_str());
    const std::unique_ptr<icu::TimeZone> zone = makeZone(settings.timeZone);

    UErrorCode status = U_ZERO_ERROR;
    built_.calendar.reset(icu::Calendar::createInstance(*zone, locale, status));
    if (U_FAILURE(status)) built_.calendar.reset();

    // The generator is needed for the clock's pattern only.
    status = U_ZERO_ERROR;
    const std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status) || !generator) return;
    const icu::UnicodeString pattern = generator->getBestPattern(u"jm", status);
    if (U_FAILURE(status)) return;
    auto format = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
    if (U_FAILURE(status)) return;
    format->setTimeZone(*zone);
    format->setLenient(false);
    built_.clock = std::move(format);
  }

  mutable std::once_flag builtOnce_, relativeOnce_;
  mutable Built built_;
  mutable std::unique_ptr<icu::RelativeDateTimeFormatter> relative_;
};

// Default-constructed headers and views are common (tests, placeholders); they share one
// immutable en_US/UTC set rather than building ICU formatters each time. ICU's formatters are
// safe to use concurrently through their const members, which is all this class calls.
TimeFormat::TimeFormat() {
  static const std::shared_ptr<const Impl> fallback = std::make_shared<const Impl>(TimeSettings{});
  impl_ = fallback;
}

TimeFormat::TimeFormat(const TimeSettings& settings)
    : impl_(std::make_shared<const Impl>(settings)) {}

const TimeSettings& TimeFormat::settings() const { return impl_->settings; }

std::string TimeFormat::clockTime(double seconds) const {
  const Impl::Built& d = impl_->built();
  if (!d.clock || !d.calendar || !calendarAccepts(*d.calendar, seconds)) return {};
  icu::UnicodeString out;
  d.clock->format(seconds * 1000.0, out);
  return utf8(out);
}

std::string TimeFormat::relativeAge(double since, double asOf) const {
  const Impl::Built& d = impl_->built();
  const icu::RelativeDateTimeFormatter* relative = impl_->relative();
  if (!relative || !d.calendar) return {};
  if (!calendarAccepts(*d.calendar, since) || !calendarAccepts(*d.calendar, asOf)) return {};

  struct Unit {
    UCalendarDateFields field;
    URelativeDateTimeUnit unit;
  };
  static constexpr std::array<Unit, 7> units{{
      {UCAL_YEAR, UDAT_REL_UNIT_YEAR},
      {UCAL_MONTH, UDAT_REL_UNIT_MONTH},
      {UCAL_WEEK_OF_YEAR, UDAT_REL_UNIT_WEEK},
      {UCAL_DATE, UDAT_REL_UNIT_DAY},
      {UCAL_HOUR_OF_DAY, UDAT_REL_UNIT_HOUR},
      {UCAL_MINUTE, UDAT_REL_UNIT_MINUTE},
      {UCAL_SECOND, UDAT_REL_UNIT_SECOND},
  }};

  // Counted from `since` towards `asOf` on the user's calendar, so a day is a calendar day
  // even across a daylight-saving change; fieldDifference truncates towards `since`.
  const bool past = since <= asOf;
  double count = 0;
  URelativeDateTimeUnit unit = UDAT_REL_UNIT_SECOND;
  for (const Unit& u : units) {
    std::unique_ptr<icu::Calendar> cal(d.calendar->clone());
    if (!cal) return {};
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(since * 1000.0, status);
    const int32_t n = cal->fieldDifference(asOf * 1000.0, u.field, status);
    if (U_FAILURE(status)) return {};
    if (n != 0) {
      count = std::abs(static_cast<double>(n));
      unit = u.unit;
      break;
    }
  }

  UErrorCode status = U_ZERO_ERROR;
  icu::UnicodeString out;
  // A negative offset (including -0) is a past phrase: "3 hr. ago"; a positive one "in 3 hr.".
  relative->formatNumeric(past ? -count : count, unit, out, status);
  if (U_FAILURE(status)) return {};
  return utf8(out);
}

std::optional<std::string> icuLocaleId(const std::string& name) {
  std::string id = name.substr(0, name.find_first_of(".@"));
  if (id.empty()) return std::nullopt;
  const std::size_t at = name.find('@');
  if (const char* script = at == std::string::npos ? nullptr : scriptOfModifier(std::string_view(name).substr(at + 1))) {
    const icu::Locale plain(id.c_str());
    id = std::string(plain.getLanguage()) + "_" + script + (*plain.getCountry() ? "_" : "") + plain.getCountry();
  }
  const icu::Locale locale(id.c_str());
  if (locale.isBogus() || locale.getLanguage()[0] == '\0') return std::nullopt;
  int32_t count = 0;
  const icu::Locale* available = icu::Locale::getAvailableLocales(count);
  for (int32_t i = 0; i < count; ++i) {
    if (std::string_view(available[i].getLanguage()) == locale.getLanguage()) {
      return std::string(locale.getName());
    }
  }
  return std::nullopt;
}

std::optional<std::string> knownTimeZone(const std::string& name) {
  std::string id = (!name.empty() && name.front() == ':') ? name.substr(1) : name;
  if (!id.empty() && id.front() == '/') id = zoneNameOfPath(id);
  if (id.empty()) return std::nullopt;
  if (icuKnowsZone(id) || PosixZoneReader(id).read()) return id;
  return std::nullopt;
}

std::optional<std::string> systemTimeZone(const std::filesystem::path& localtime) {
  std::error_code error;
  const std::filesystem::path target = std::filesystem::read_symlink(localtime, error);
  if (!error) return knownTimeZone(zoneNameOfPath(target.string()));
  if (!std::filesystem::exists(localtime, error)) return std::nullopt;
  // A copied zone file: ICU compares it with its own database.
  std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
  icu::UnicodeString id;
  if (host) host->getID(id);
  return id.isEmpty() ? std::nullopt : knownTimeZone(utf8(id));
}

ResolvedTimeSettings timeSettingsFromEnvironment(const EnvLookup& env, const std::filesystem::path& localtime) {
  ResolvedTimeSettings out;
  const auto value = [&env](const char* key) -> std::string {
    const char* v = env(key);
    return v ? std::string(v) : std::string();
  };

  for (const char* key : {"LC_ALL", "LC_TIME", "LANG"}) {
    const std::string name = value(key);
    if (name.empty()) continue;
    if (!isPosixDefault(name)) {
      if (auto id = icuLocaleId(name)) {
        out.settings.locale = *id;
      } else {
        out.localeWarning = std::string(key) + "=" + name + " names no locale ICU knows; using en_US.";
      }
    }
    break;
  }

  const std::string tz = value("TZ");
  if (!env("TZ")) {
    if (auto zone = systemTimeZone(localtime)) out.settings.timeZone = *zone;
  } else if (!tz.empty()) {
    if (auto zone = knownTimeZone(tz)) {
      out.settings.timeZone = *zone;
    } else {
      out.zoneWarning = "TZ=" + tz + " names no time zone ICU knows; using UTC.";
    }
  }
  return out;
}

std::string ResolvedTimeSettings::warning() const {
  return localeWarning + (localeWarning.empty() || zoneWarning.empty() ? "" : " ") + zoneWarning;
}

}  // namespace korvel

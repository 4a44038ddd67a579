#include "faces/time_format.h"

#include <array>
#include <cmath>
#include <utility>

#include <unicode/calendar.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/reldatefmt.h>
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

}  // namespace

struct TimeFormat::Impl {
  TimeSettings settings;
  std::unique_ptr<icu::Calendar> calendar;  // prototype in the user's zone; cloned per use
  std::unique_ptr<icu::DateTimePatternGenerator> generator;
  std::unique_ptr<icu::SimpleDateFormat> clock;
  std::unique_ptr<icu::RelativeDateTimeFormatter> relative;

  explicit Impl(TimeSettings s) : settings(std::move(s)) {
    const icu::Locale locale(settings.locale.c_str());
    const icu::UnicodeString zoneId = icu::UnicodeString::fromUTF8(settings.timeZone);

    UErrorCode status = U_ZERO_ERROR;
    calendar.reset(icu::Calendar::createInstance(icu::TimeZone::createTimeZone(zoneId), locale,
                                                 status));
    if (U_FAILURE(status)) calendar.reset();

    status = U_ZERO_ERROR;
    generator.reset(icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status)) generator.reset();

    if (generator) {
      status = U_ZERO_ERROR;
      const icu::UnicodeString pattern = generator->getBestPattern(u"jm", status);
      if (U_SUCCESS(status)) {
        auto format = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
        if (U_SUCCESS(status)) {
          format->adoptTimeZone(icu::TimeZone::createTimeZone(zoneId));
          format->setLenient(false);
          clock = std::move(format);
        }
      }
    }

    status = U_ZERO_ERROR;
    auto rel = std::make_unique<icu::RelativeDateTimeFormatter>(
        locale, nullptr, UDAT_STYLE_SHORT, UDISPCTX_CAPITALIZATION_NONE, status);
    if (U_SUCCESS(status)) relative = std::move(rel);
  }
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
  const Impl& d = *impl_;
  if (!d.clock || !d.calendar || !calendarAccepts(*d.calendar, seconds)) return {};
  icu::UnicodeString out;
  d.clock->format(seconds * 1000.0, out);
  return utf8(out);
}

std::string TimeFormat::relativeAge(double since, double asOf) const {
  const Impl& d = *impl_;
  if (!d.relative || !d.calendar) return {};
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
  d.relative->formatNumeric(past ? -count : count, unit, out, status);
  if (U_FAILURE(status)) return {};
  return utf8(out);
}

std::optional<std::string> icuLocaleId(const std::string& name) {
  std::string id = name.substr(0, name.find_first_of(".@"));
  if (id.empty()) return std::nullopt;
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
  if (id.empty()) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  icu::UnicodeString canonical;
  UBool isSystemId = false;
  icu::TimeZone::getCanonicalID(icu::UnicodeString::fromUTF8(id), canonical, isSystemId, status);
  if (U_FAILURE(status) || canonical.isEmpty() || canonical == icu::UnicodeString(u"Etc/Unknown")) {
    return std::nullopt;
  }
  return id;
}

ResolvedTimeSettings timeSettingsFromEnvironment(const EnvLookup& env) {
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
        out.warning += std::string(key) + "=" + name + " names no locale ICU knows; using en_US. ";
      }
    }
    break;
  }

  const std::string tz = value("TZ");
  if (!tz.empty()) {
    if (auto zone = knownTimeZone(tz)) {
      out.settings.timeZone = *zone;
    } else {
      out.warning += "TZ=" + tz + " names no time zone ICU knows; using UTC. ";
    }
  }
  if (!out.warning.empty()) out.warning.pop_back();
  return out;
}

}  // namespace korvel

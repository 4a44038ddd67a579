#pragma once
// The few fixed interface texts (widget names and descriptions, the empty face's messages) are
// looked up by their English text in the program's gettext domain. No catalogue is shipped, so
// until one is installed the English text itself comes back.
#include <libintl.h>

#include <string>

namespace korvel {

inline constexpr const char* textDomain = "korvel-widgets";

inline std::string localized(const char* english) { return dgettext(textDomain, english); }

}  // namespace korvel

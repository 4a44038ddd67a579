#include "widgets/week_provider.h"

namespace korvel {

WeekProvider::WeekProvider() : WeekProvider(platformLookups(), systemClock) {}

}  // namespace korvel

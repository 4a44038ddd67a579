#pragma once
// KorvelMacWidgets: the widget bundle the host loads. It declares the eight widgets in the
// order the widget gallery lists them, each binding its kind string to the one timeline
// provider and to a content function that turns an entry into a WeekWidgetView.
#include <functional>
#include <string>
#include <vector>

#include "faces/face_kind.h"
#include "widgets/catalog.h"
#include "widgets/week_entry.h"
#include "widgets/week_provider.h"

namespace korvel {

// The content of every widget for one entry; the family is the host's and is only known when
// it draws (see widgetContent).
struct WeekWidgetView {
  WeekFaceKind kind = WeekFaceKind::week;
  WeekEntry entry;
};

// What a static configuration declares to the host.
struct WidgetConfiguration {
  std::string kind;
  WeekProvider provider;
  std::function<WeekWidgetView(const WeekEntry&)> content;
  std::string configurationDisplayName;
  std::string description;
  std::vector<WidgetFamily> supportedFamilies;
  WeekFaceKind faceKind = WeekFaceKind::week;  // what content() draws; kept for the host's listings
};

// Makes the new provider each widget binds; the host decides where providers read from (the
// platform's lookups, or a given file).
using ProviderFactory = std::function<WeekProvider()>;

struct KorvelMacWidgets {
  // The eight configurations in bundle order; built on demand, nothing else happens at start.
  std::vector<WidgetConfiguration> body(const ProviderFactory& newProvider) const;
};

// One configuration from the catalog's entry for a widget.
WidgetConfiguration staticConfiguration(const WidgetInfo& widget, WeekProvider provider);

}  // namespace korvel

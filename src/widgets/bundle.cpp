#include "widgets/bundle.h"

#include <utility>

#include "faces/localized.h"

namespace korvel {

WidgetConfiguration staticConfiguration(const WidgetInfo& widget, WeekProvider provider) {
  const WeekFaceKind faceKind = widget.faceKind;
  return WidgetConfiguration{
      .kind = std::string(widget.kind),
      .provider = std::move(provider),
      .content = [faceKind](const WeekEntry& entry) { return WeekWidgetView{faceKind, entry}; },
      .configurationDisplayName = localized(std::string(widget.displayName).c_str()),
      .description = localized(std::string(widget.description).c_str()),
      .supportedFamilies = widget.families,
      .faceKind = faceKind,
  };
}

std::vector<WidgetConfiguration> KorvelMacWidgets::body(const ProviderFactory& newProvider) const {
  std::vector<WidgetConfiguration> widgets;
  for (const WidgetInfo& info : widgetCatalog()) {
    widgets.push_back(staticConfiguration(info, newProvider()));
  }
  return widgets;
}

}  // namespace korvel

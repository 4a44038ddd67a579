#include "widgets/bundle.h"

#include <utility>

namespace korvel {

WidgetConfiguration staticConfiguration(const WidgetInfo& widget, WeekProvider provider) {
  const WeekFaceKind faceKind = widget.faceKind;
  return WidgetConfiguration{
      .kind = std::string(widget.kind),
      .provider = std::move(provider),
      .content = [faceKind](const WeekEntry& entry) { return WeekWidgetView{faceKind, entry}; },
      .configurationDisplayName = std::string(widget.displayName),
      .description = std::string(widget.description),
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

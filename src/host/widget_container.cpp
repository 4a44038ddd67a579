#include "host/widget_container.h"

#include "kit/palette.h"
#include "widgets/widget_view.h"

namespace korvel::host {

ui::Size familySize(WidgetFamily family) {
  switch (family) {
    case WidgetFamily::systemSmall: return {170, 170};
    case WidgetFamily::systemMedium: return {364, 170};
    case WidgetFamily::systemLarge: return {364, 382};
  }
  return {364, 382};
}

ui::Rect contentRect(WidgetFamily family) {
  const ui::Size size = familySize(family);
  return {kContentMargin, kContentMargin, size.width - 2 * kContentMargin,
          size.height - 2 * kContentMargin};
}

ui::View widgetContainer(const ui::View& content, ui::Size size) {
  const ui::Shape shape = ui::roundedRectangle(kContainerCornerRadius);
  ui::FlexFrame fill;
  fill.maxWidth = ui::kInfinity;
  fill.maxHeight = ui::kInfinity;
  fill.alignment = ui::topLeading;
  // The paper is the shape itself; the clip then covers the whole widget, margins included,
  // so even content that overflows its area stays inside the rounded corners. Both are exactly
  // the widget's size: content wider or taller than the widget must not stretch them.
  return ui::zstack(ui::topLeading,
                    {
                        shape.fill(paper).frame(size.width, size.height),
                        content.frame(fill)
                            .padding(ui::Edges::all(), kContentMargin)
                            .frame(size.width, size.height, ui::topLeading)
                            .clipShape(shape),
                    })
      .frame(size.width, size.height, ui::topLeading);
}

PlacedWidget placeWidget(WeekFaceKind kind, WidgetFamily family, const WeekEntry& entry,
                         const TimeFormat& timeFormat) {
  PlacedWidget w;
  w.kind = kind;
  w.family = family;
  w.size = familySize(family);
  w.content = contentRect(family);
  w.view = widgetContainer(widgetContent(kind, faceSize(family), entry, timeFormat), w.size);
  w.label = widgetLabel(kind, entry);
  w.url = deepLinkURL(kind);
  return w;
}

}  // namespace korvel::host

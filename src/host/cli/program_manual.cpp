// The manual of korvel-widgets as a whole; each command carries its own.
#include "host/cli/commands.h"

namespace korvel::host {

std::string programManual() {
  return R"(
DESCRIPTION
  Eight desktop widgets that show a week of AI coding agents' work, drawn from one JSON
  snapshot that the Korvel companion application writes. There are three ways to show them:

    gallery  every widget in every family, light and dark, as PNG files and an index.html
    play     the placed widgets kept current as PNG files (for a bar, a conky, a web page),
             redrawn at their timelines' dates and when the snapshot changes
    desktop  the placed widgets on the desktop itself, each a layer surface on compositors
             with layer-shell (sway, Hyprland, KDE), else in a window (GTK 4)

  check, timeline, render and catalog look at one part each: whether a snapshot is accepted,
  the timeline a widget host gets, one widget drawn to a file, the list of widgets.
  `korvel-widgets COMMAND --help` describes a command in full.

EXIT STATUS
  0  the command did what was asked
  1  an input could not be read or was refused, or an output could not be written (each
     command's help says which)
  2  usage error: no or unknown command, unknown option, bad option value

EXAMPLES
  Is the snapshot usable, and what does it hold?
      korvel-widgets check

  Every widget from the sample snapshot, as pictures and a page:
      korvel-widgets gallery --snapshot examples/week.json -o gallery

  Keep two widgets current as pictures in ~/.cache/korvel-widgets:
      korvel-widgets play --place limits:medium --place now:small

  The same two widgets on the desktop, limits in the top-right corner:
      korvel-widgets desktop --place limits:medium@top-right+24+24 --place now:small
)";
}

}  // namespace korvel::host

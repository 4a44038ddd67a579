#!/usr/bin/env bash
# The project's one entry point for set-up, building and the two README jobs.
#   scripts/run.sh sample   install what building and drawing need, build the program (build/release),
#                           make its Debian package there and draw every widget from the sample
#   scripts/run.sh test     install that and the test tools, build twice (release with gcc; clang with
#                           the address and undefined-behaviour sanitizers and the fuzz targets),
#                           run all tests in both, check the package, then a short fuzz run and the
#                           thread-sanitizer run
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# What building the program and its package needs, and what it draws with.
build_packages=(
  build-essential cmake pkg-config lld file
  libsimdjson-dev libboost1.81-dev libcli11-dev
  libpango1.0-dev libcairo2-dev libpng-dev libicu-dev libgtk-4-dev
  libwayland-dev wayland-protocols
  fonts-inter fonts-jetbrains-mono fonts-quicksand
)
# What only the tests need: the test and benchmark libraries, the X server the window is tested
# under, a real compositor (sway, grim) for the layer host, clang for the sanitizers and fuzzing,
# the package checkers, and a small CJK font that the fallback test draws with.
test_packages=(
  git zlib1g-dev locales fonts-droid-fallback
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool sway grim
  clang-14 libclang-rt-14-dev
  lintian desktop-file-utils systemd man-db python3
)

install_missing() {  # package...
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    local sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build() {  # preset [target...]
  local preset=$1; shift
  cmake --preset "$preset" >/dev/null
  if (($#)); then
    cmake --build --preset "$preset" --target "$@"
  else
    cmake --build --preset "$preset"
  fi
}

stage() {  # name budget-minutes command...
  local name=$1 budget=$2; shift 2
  local t0=$SECONDS
  echo "== $name (budget ${budget} min)"
  "$@"
  echo "== $name took $((SECONDS - t0)) s"
}

run_tests() {  # preset
  ctest --preset "$1"
}

package() {  # build folder; prints the package's path
  if ! (cd "$1" && cpack -G DEB >cpack.log 2>&1); then cat "$1/cpack.log" >&2; return 1; fi
  ls -t "$1"/korvel-widgets_*.deb | head -n 1
}

# The package as built: lintian finds no error, the desktop entries validate, the user unit
# verifies, and the program unpacked into a temporary root runs from there, its window's helper
# found in libexec.
check_package() {  # build folder
  local deb box unit report
  deb=$(package "$1")
  echo "== $deb"
  lintian --fail-on error "$deb" 2> >(grep -v "running with root privileges" >&2)
  box=$(mktemp -d)
  dpkg-deb -x "$deb" "$box"
  for entry in "$box"/usr/share/applications/*.desktop; do desktop-file-validate "$entry"; done
  # The unit names its program without a folder (systemd looks in /usr/local/bin and /usr/bin);
  # here it is pointed at the unpacked one, and its manual page looked for in the unpacked root.
  mkdir "$box/check"
  unit=$box/check/korvel-widgets-player.service
  sed "s|^ExecStart=korvel-widgets |ExecStart=$box/usr/bin/korvel-widgets |" \
    "$box"/usr/lib/systemd/user/korvel-widgets-player.service > "$unit"
  report=$(XDG_RUNTIME_DIR="$box/check" MANPATH="$box/usr/share/man" \
    systemd-analyze --user verify "$unit" 2>&1)
  if [ -n "$report" ]; then echo "$report" >&2; return 1; fi
  local program=$box/usr/bin/korvel-widgets sample=$box/usr/share/korvel-widgets/examples/week.json
  "$program" --version
  "$program" catalog | grep -c '^  families:' | grep -qx 8
  "$program" render --snapshot "$sample" --kind limits --family systemMedium --appearance dark \
    --format png -o "$box/check/limits.png"
  GSK_RENDERER=cairo xvfb-run -a "$program" desktop --snapshot "$sample" --place now:small \
    --screenshot "$box/check/window.png" 2>/dev/null
  man -l "$box/usr/share/man/man1/korvel-widgets.1.gz" > "$box/check/manual.txt"
  grep -q "korvel-widgets-play" "$box/check/manual.txt"
  rm -rf "$box"
}

case "${1:-}" in
  sample)
    install_missing "${build_packages[@]}"
    stage "build" 10 build release
    deb=$(package build/release)
    echo "== package: $deb"
    now=$(( $(grep -o '"generatedMs": *[0-9]*' examples/week.json | grep -o '[0-9]*$') / 1000 + 3600 ))
    # One hour after the sample was generated, so the headers read fresh.
    ./build/release/src/korvel-widgets check examples/week.json
    ./build/release/src/korvel-widgets gallery --snapshot examples/week.json --now "$now" -o build/gallery
    echo "== open build/gallery/index.html in a web browser to see every widget in light and dark"
    ;;
  test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    stage "release build" 5 build default
    stage "release tests" 2 run_tests default
    stage "package (lintian, desktop entries, user unit, the unpacked program)" 1 check_package build/default
    stage "sanitizer build" 6 build asan
    stage "sanitizer tests" 3 run_tests asan
    # The fuzz targets come from the sanitizer build.
    stage "fuzz smoke (decoder, drawing road; 30 s each)" 2 scripts/fuzz.sh 30
    stage "thread sanitizer (snapshot and provider)" 1 scripts/tsan.sh
    ;;
  *)
    echo "usage: scripts/run.sh sample|test" >&2
    exit 2
    ;;
esac

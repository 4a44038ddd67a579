#!/usr/bin/env bash
# The project's one entry point for set-up, building and the two README jobs.
#   scripts/run.sh sample   install what is missing, build, draw every widget from the sample
#   scripts/run.sh test     install what is missing, build twice (release with gcc; clang with
#                           the address and undefined-behaviour sanitizers and the fuzz targets),
#                           run all tests in both, then a short fuzz run and the thread-sanitizer run
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

packages=(
  build-essential cmake pkg-config git lld zlib1g-dev
  libsimdjson-dev libboost1.81-dev libcli11-dev
  libpango1.0-dev libcairo2-dev libpng-dev libicu-dev gettext
  fonts-inter fonts-jetbrains-mono fonts-quicksand fonts-droid-fallback
  libgtest-dev libgmock-dev libbenchmark-dev
  libgtk-4-dev xvfb xauth xdotool
  libwayland-dev wayland-protocols
  clang-14 libclang-rt-14-dev
  locales
)
# Only the test command needs these: a real compositor for the layer host's test.
test_packages=(sway grim python3)

install_missing() {  # [extra package...]
  local missing=()
  for p in "${packages[@]}" "$@"; do
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

case "${1:-}" in
  sample)
    install_missing
    stage "build" 10 build default korvel-widgets
    now=$(( $(grep -o '"generatedMs": *[0-9]*' examples/week.json | grep -o '[0-9]*$') / 1000 + 3600 ))
    # One hour after the sample was generated, so the headers read fresh.
    ./build/default/src/korvel-widgets check examples/week.json
    ./build/default/src/korvel-widgets gallery --snapshot examples/week.json --now "$now" -o build/gallery
    echo "== open build/gallery/index.html to see every widget in light and dark"
    ;;
  test)
    install_missing "${test_packages[@]}"
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    stage "release build" 5 build default
    stage "release tests" 2 run_tests default
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

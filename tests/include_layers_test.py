#!/usr/bin/env python3
"""Fails when a source file includes from a layer above its own.

The pipeline runs one way: snapshot and ui at the bottom (neither knows the other), the kit on
both, faces on the kit, widgets on the faces, the host on top. Inside the host the same holds:
its root files (platform, files, names) below rendering, rendering below the player's pieces,
those below the two desktop surfaces, and the command line above them all; CLI11 is the
command line's alone. Tests may include what the layer they test may (the host's tests all of
the host), and their own support.

Usage: include_layers_test.py SOURCE_DIR   (prints each wrong include; exit 1 when any)
"""
import pathlib
import re
import sys

# Layer -> the layers it may include from (itself included).
BELOW = {
    "base": {"base"},
    "snapshot": {"base", "snapshot"},
    "ui": {"base", "ui"},
    "kit": {"base", "snapshot", "ui", "kit"},
    "faces": {"base", "snapshot", "ui", "kit", "faces"},
    "widgets": {"base", "snapshot", "ui", "kit", "faces", "widgets"},
}
PRODUCT = set(BELOW["widgets"])
HOST_ORDER = ["host", "host/render", "host/player", "host/desktop", "host/layer", "host/cli"]
for i, layer in enumerate(HOST_ORDER):
    allowed = PRODUCT | set(HOST_ORDER[: i + 1])
    if layer in ("host/desktop", "host/layer"):  # the two surfaces are peers
        allowed -= {"host/desktop", "host/layer"}
        allowed.add(layer)
    BELOW[layer] = allowed
BELOW["host/main"] = PRODUCT | set(HOST_ORDER)

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def layer_of(relative):
    """The layer of a path under src/ ("host/player/player.cpp" -> "host/player")."""
    parts = relative.split("/")
    if parts[0] != "host":
        return parts[0]
    if len(parts) == 2:
        return "host/main" if parts[1] == "main.cpp" else "host"
    return "host/" + parts[1]


def faults(path, own, text):
    for bracket, name in INCLUDE.findall(text):
        if bracket == "<":
            if name.startswith("CLI/") and own not in ("host/cli", "host/main"):
                yield f"{path}: <{name}>: CLI11 belongs to the command line"
            continue
        if name.startswith("support/") or "/" not in name:
            continue
        target = layer_of(name)
        if target in BELOW and target not in BELOW[own]:
            yield f'{path}: "{name}": {own} may not include from {target}'


def main(root):
    root = pathlib.Path(root)
    found = []
    for top in ("src", "tests"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in (".h", ".cpp", ".inc"):
                continue
            relative = path.relative_to(root / top).as_posix()
            own = layer_of(relative)
            if top == "tests" and own.startswith("host"):
                own = "host/main"  # the host's tests reach all of it
            if own not in BELOW:
                continue  # tests' support and data

            found += faults(path.relative_to(root), own, path.read_text(errors="replace"))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))

#!/usr/bin/env python3
"""The layer host on a real compositor: sway headless (pixman renderer, as an unprivileged user)
with one 1280 x 800 output, screenshots taken with grim.

Three widgets are placed (one without a position, two anchored with margins). Each must show
at exactly its rectangle, pixel for pixel what `korvel-widgets render` draws for it, with the
background around it and in its rounded corners; at output scale 2 the same at twice the
pixels (drawn, not scaled up); a rewritten snapshot must show; the widgets must come back after
the output is disabled and enabled again; SIGTERM must end the host with status 0, and the
compositor's end with status 1. Without layer-shell, --surface layer must say so and exit 1.

usage: layer_host_test.py PROGRAM EXAMPLES_DIR
"""
import os
import pwd
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

PROGRAM, EXAMPLES = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
WIDTH, HEIGHT = 1280, 800
SIZES = {"systemSmall": (170, 170), "systemMedium": (364, 170), "systemLarge": (364, 382)}
# kind, family, position (None: placed by the host, side by side from the top-left corner).
PLACES = [("now", "systemSmall", None), ("limits", "systemMedium", ("top-right", 24, 24)),
          ("volume", "systemSmall", ("bottom", 0, 24))]
GAP = 20  # between widgets placed by the host, and from the edges
RADIUS = 22  # the container's rounded corners
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


def rect(family, position, out_w, out_h):
    """Where a widget must be, in points of an output out_w x out_h points."""
    w, h = SIZES[family]
    if position is None:
        return (GAP, GAP, w, h)
    anchor, mx, my = position
    x = mx if "left" in anchor else out_w - mx - w if "right" in anchor else (out_w - w) // 2
    y = my if anchor.startswith("top") else out_h - my - h if anchor.startswith("bottom") \
        else (out_h - h) // 2
    return (x, y, w, h)


def read_ppm(path):
    data = open(path, "rb").read()
    parts = data.split(maxsplit=4)
    assert parts[0] == b"P6" and parts[3] == b"255", "not an 8-bit PPM"
    w, h = int(parts[1]), int(parts[2])
    return w, h, parts[4][: w * h * 3]


def read_png_rgba(path):
    """Our own PNGs: 8-bit RGBA, not interlaced."""
    data = open(path, "rb").read()
    pos, idat, w = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos: pos + 8])
        body = data[pos + 8: pos + 8 + length]
        if kind == b"IHDR":
            w, h, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour == 6, "not 8-bit RGBA"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, out, prev = zlib.decompress(idat), w * 4, bytearray(), bytearray(w * 4)
    for y in range(h):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1: (y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out += line
        prev = line
    return w, h, bytes(out)


class Session:
    def __init__(self, work):
        self.work = work
        self.run = os.path.join(work, "run")
        os.mkdir(self.run, 0o700)
        nobody = pwd.getpwnam("nobody")
        os.chown(self.run, nobody.pw_uid, nobody.pw_gid)
        config = os.path.join(work, "sway.conf")
        with open(config, "w") as f:
            f.write("output HEADLESS-1 resolution %dx%d position 0 0\n" % (WIDTH, HEIGHT))
        env = {"PATH": "/usr/bin:/bin", "HOME": work, "XDG_RUNTIME_DIR": self.run,
               "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
               "WLR_RENDERER": "pixman"}
        self.log = open(os.path.join(work, "sway.log"), "w")
        self.sway = subprocess.Popen(["runuser", "-u", "nobody", "--", "env"] +
                                     ["%s=%s" % kv for kv in env.items()] +
                                     ["sway", "-c", config], stdout=self.log, stderr=self.log)
        self.display = None
        for _ in range(100):
            names = [n for n in os.listdir(self.run) if n.startswith("wayland-") and
                     not n.endswith(".lock")]
            ipc = [n for n in os.listdir(self.run) if n.startswith("sway-ipc.")]
            if names and ipc:
                self.display, self.ipc = names[0], os.path.join(self.run, ipc[0])
                break
            time.sleep(0.1)
        assert self.display, "sway did not start:\n" + open(self.log.name).read()
        self.env = {"PATH": "/usr/bin:/bin", "HOME": work, "XDG_RUNTIME_DIR": self.run,
                    "WAYLAND_DISPLAY": self.display, "SWAYSOCK": self.ipc,
                    "LANG": "en_US.UTF-8", "TZ": "UTC",
                    "XDG_CONFIG_HOME": work, "XDG_DATA_HOME": work, "XDG_DATA_DIRS": work,
                    "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(work, "no-bus")}

    def swaymsg(self, *words):
        subprocess.run(["swaymsg"] + list(words), env=self.env, check=True,
                       stdout=subprocess.DEVNULL)

    def screenshot(self, name):
        path = os.path.join(self.work, name + ".ppm")
        result = subprocess.run(["grim", "-t", "ppm", path], env=self.env,
                                stderr=subprocess.DEVNULL)
        return read_ppm(path) if result.returncode == 0 else None

    def close(self):
        self.sway.terminate()
        try:
            self.sway.wait(5)
        except subprocess.TimeoutExpired:
            self.sway.kill()


def reference(session, kind, family, appearance, scale):
    path = os.path.join(session.work, "%s-%s-%s-%d-%d.png" % (kind, family, appearance, scale,
                                                              session.generation))
    if not os.path.exists(path):
        subprocess.run([PROGRAM, "render", "--kind", kind, "--family", family, "--appearance",
                        appearance, "--scale", str(scale), "--format", "png", "--snapshot",
                        session.snapshot, "-o", path], env=session.env, check=True,
                       stdout=subprocess.DEVNULL)
    return read_png_rgba(path)


def compare(shot, session, appearance, scale):
    """What is wrong with the screenshot, in words; empty when every widget is right."""
    if shot is None:
        return ["no screenshot"]
    sw, sh, pixels = shot
    out_w, out_h = sw // scale, sh // scale
    problems = []
    background = pixels[(sh // 2) * sw * 3: (sh // 2) * sw * 3 + 3]  # the middle is empty
    for kind, family, position in PLACES:
        x, y, w, h = (v * scale for v in rect(family, position, out_w, out_h))
        rw, rh, ref = reference(session, kind, family, appearance, scale)
        if (rw, rh) != (w, h):
            return ["%s: reference is %dx%d, not %dx%d" % (kind, rw, rh, w, h)]
        wrong = 0
        for j in range(h):
            row = ref[j * w * 4: (j + 1) * w * 4]
            rgb = bytearray(w * 3)
            for k in range(3):
                rgb[k::3] = row[k::4]
            shown = pixels[((y + j) * sw + x) * 3: ((y + j) * sw + x + w) * 3]
            if shown == rgb:
                continue
            for i in range(w):
                if row[i * 4 + 3] != 255:
                    continue  # antialiased corners: over whatever lies below
                wrong += any(abs(shown[i * 3 + k] - rgb[i * 3 + k]) > 1 for k in range(3))
        if wrong:
            problems.append("%s: %d of %d pixels differ from its own rendering" % (kind, wrong, w * h))
        # Around the rectangle, and in its rounded corner, the background shows.
        for px, py in ((x - 2, y + h // 2), (x + w + 1, y + h // 2), (x + w // 2, y - 2),
                       (x + w // 2, y + h + 1), (x + 1, y + 1)):
            if 0 <= px < sw and 0 <= py < sh:
                s = pixels[(py * sw + px) * 3: (py * sw + px) * 3 + 3]
                if s != background:
                    problems.append("%s: not the background at %d,%d" % (kind, px, py))
    return problems


def wait_for(session, name, appearance, scale, seconds):
    """Screenshots until the widgets are right; the problems of the last one, and the time."""
    start = time.monotonic()
    while True:
        problems = compare(session.screenshot(name), session, appearance, scale)
        if not problems or time.monotonic() - start > seconds:
            return problems, time.monotonic() - start
        time.sleep(0.05)


def main():
    work = tempfile.mkdtemp(prefix="korvel-layer-")
    os.chmod(work, 0o755)
    session = Session(work)
    host = None
    try:
        # Without layer-shell (no compositor at all here), a forced layer surface is refused.
        env = dict(session.env, WAYLAND_DISPLAY="no-such-display")
        refused = subprocess.run([PROGRAM, "desktop", "--surface", "layer", "--snapshot",
                                  os.path.join(EXAMPLES, "week.json")], env=env,
                                 capture_output=True, text=True, timeout=30)
        check(refused.returncode == 1 and "--surface layer: cannot connect" in refused.stderr,
              "--surface layer without a compositor: exit 1 and why (%d, %s)" %
              (refused.returncode, refused.stderr.strip()))

        session.snapshot, session.generation = os.path.join(work, "week.json"), 0
        shutil.copy(os.path.join(EXAMPLES, "week.json"), session.snapshot)
        places = []
        for kind, family, position in PLACES:
            places += ["--place", kind + ":" + family +
                       ("@%s+%d+%d" % position if position else "")]
        errors = open(os.path.join(work, "host.err"), "w")
        host = subprocess.Popen([PROGRAM, "desktop", "--surface", "layer", "--appearance",
                                 "light", "--snapshot", session.snapshot] + places,
                                env=session.env, stdout=subprocess.DEVNULL, stderr=errors)

        problems, _ = wait_for(session, "light", "light", 1, 10)
        check(not problems, "each widget at its anchor and margins, as drawn alone: " +
              "; ".join(problems))

        session.swaymsg("output", "HEADLESS-1", "scale", "2")
        problems, _ = wait_for(session, "scale2", "light", 2, 10)
        check(not problems, "at scale 2, drawn at twice the pixels: " + "; ".join(problems))
        session.swaymsg("output", "HEADLESS-1", "scale", "1")
        wait_for(session, "scale1", "light", 1, 10)

        # The snapshot replaced: new pixels (the wait is generous; the host debounces a second).
        before = session.screenshot("before")
        replacement = os.path.join(work, "next.json")
        shutil.copy(os.path.join(EXAMPLES, "week-minimal.json"), replacement)
        os.rename(replacement, session.snapshot)
        session.generation += 1
        start, changed = time.monotonic(), False
        while not changed and time.monotonic() - start < 5:
            changed = session.screenshot("after")[2] != before[2]
        check(changed, "a rewritten snapshot shows (after %.2f s)" % (time.monotonic() - start))

        session.swaymsg("output", "HEADLESS-1", "disable")
        time.sleep(0.3)
        session.swaymsg("output", "HEADLESS-1", "enable")
        problems, _ = wait_for(session, "again", "light", 1, 10)
        check(not problems, "back after the output was disabled and enabled: " +
              "; ".join(problems))

        host.send_signal(signal.SIGTERM)
        try:
            code = host.wait(10)
        except subprocess.TimeoutExpired:
            code = "still running"
        errors.close()
        said = open(errors.name).read()
        check(code == 0 and "went away" not in said, "SIGTERM ends the host with 0 (%s)" % code)
        host = None
        if failures:
            print("host's standard error:\n" + said)

        # The compositor going away ends the host with 1, saying so.
        errors = open(os.path.join(work, "host2.err"), "w")
        host = subprocess.Popen([PROGRAM, "desktop", "--surface", "layer", "--appearance",
                                 "light", "--snapshot", session.snapshot] + places,
                                env=session.env, stdout=subprocess.DEVNULL, stderr=errors)
        wait_for(session, "second", "light", 1, 10)
        session.close()
        try:
            code = host.wait(10)
        except subprocess.TimeoutExpired:
            code = "still running"
        said = open(errors.name).read()
        check(code == 1 and "the compositor went away" in said,
              "the compositor gone: exit 1 and why (%s, %s)" % (code, said.strip()[-200:]))
        host = None
    finally:
        if host:
            host.kill()
        session.close()
        if failures:
            print("sway's log:\n" + open(session.log.name).read()[-3000:])
        else:
            shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

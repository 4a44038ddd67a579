#!/usr/bin/env python3
"""What the layer host costs, on sway headless (as in tests/desktop/layer_host_test.py):
peak RSS with three widgets placed, beside the GTK window with the same three on the same
compositor; CPU time and wake-ups over an idle span; and the time from a snapshot rewrite to
new pixels on screen (grim in a loop), median and worst of 20.

usage: scripts/layer_measure.py [PROGRAM] [IDLE_SECONDS]   (as root; needs sway, grim, time)
"""
import os
import pwd
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
program = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                          os.path.join(root, "build/default/src/korvel-widgets"))
idle = float(sys.argv[2]) if len(sys.argv) > 2 else 60
places = ["--place", "limits:medium@top-right+24+24", "--place", "now:small@top-left+24+24",
          "--place", "week:large@bottom-left+24+24"]

work = tempfile.mkdtemp(prefix="korvel-measure-")
os.chmod(work, 0o755)
run = os.path.join(work, "run")
os.mkdir(run, 0o700)
nobody = pwd.getpwnam("nobody")
os.chown(run, nobody.pw_uid, nobody.pw_gid)
with open(os.path.join(work, "sway.conf"), "w") as f:
    f.write("output HEADLESS-1 resolution 1280x800 position 0 0\n")
sway = subprocess.Popen(["runuser", "-u", "nobody", "--", "env", "PATH=/usr/bin:/bin",
                         "HOME=" + work, "XDG_RUNTIME_DIR=" + run, "WLR_BACKENDS=headless",
                         "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman", "sway", "-c",
                         os.path.join(work, "sway.conf")],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
for _ in range(100):
    if os.path.exists(os.path.join(run, "wayland-1")):
        break
    time.sleep(0.1)
time.sleep(0.5)
env = {"PATH": "/usr/bin:/bin", "HOME": work, "XDG_RUNTIME_DIR": run, "WAYLAND_DISPLAY": "wayland-1",
       "LANG": "en_US.UTF-8", "TZ": "UTC", "XDG_CONFIG_HOME": work, "XDG_DATA_HOME": work,
       "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(work, "no-bus")}
snapshot = os.path.join(work, "week.json")
shutil.copy(os.path.join(root, "examples/week.json"), snapshot)


def start(surface, extra_env=None):
    out = os.path.join(work, surface + ".time")
    timer = subprocess.Popen(["/usr/bin/time", "-v", "-o", out, program, "desktop", "--surface",
                              surface, "--snapshot", snapshot] + places,
                             env=dict(env, **(extra_env or {})), stderr=subprocess.DEVNULL)
    for _ in range(50):
        children = subprocess.run(["pgrep", "-P", str(timer.pid)], capture_output=True,
                                  text=True).stdout.split()
        if children:
            return timer, int(children[0]), out
        time.sleep(0.1)
    raise SystemExit("the host did not start")


def stop(timer, pid, out):
    os.kill(pid, signal.SIGTERM)
    timer.wait(10)
    for line in open(out):
        if "Maximum resident" in line:
            return int(line.split(":")[1]) / 1024


def counters(pid):
    """CPU seconds and context switches (every wake-up is one) of all the process's threads."""
    ticks = os.sysconf("SC_CLK_TCK")
    cpu, switches = 0.0, 0
    for task in os.listdir("/proc/%d/task" % pid):
        fields = open("/proc/%d/task/%s/stat" % (pid, task)).read().rsplit(")", 1)[1].split()
        cpu += (int(fields[11]) + int(fields[12])) / ticks
        for line in open("/proc/%d/task/%s/status" % (pid, task)):
            if "ctxt_switches" in line:
                switches += int(line.split()[1])
    return cpu, switches


def shot(name):
    path = os.path.join(work, name + ".ppm")
    subprocess.run(["grim", "-t", "ppm", path], env=env, check=True)
    return open(path, "rb").read()


try:
    timer, pid, out = start("layer")
    time.sleep(3)
    cpu0, sw0 = counters(pid)
    time.sleep(idle)
    cpu1, sw1 = counters(pid)
    print("layer host idle over %.0f s: %.3f s CPU, %d wake-ups" % (idle, cpu1 - cpu0, sw1 - sw0))

    latencies, names = [], ["week-minimal.json", "week.json"]
    for i in range(20):
        before = shot("before")
        shutil.copy(os.path.join(root, "examples", names[i % 2]), snapshot + ".new")
        began = time.monotonic()
        os.rename(snapshot + ".new", snapshot)
        while shot("after") == before and time.monotonic() - began < 10:
            pass
        latencies.append(time.monotonic() - began)
    print("snapshot rewrite to new pixels, 20 times: median %.3f s, worst %.3f s" %
          (statistics.median(latencies), max(latencies)))
    layer_rss = stop(timer, pid, out)

    window_rss = []
    for renderer in ({}, {"GSK_RENDERER": "cairo"}):
        timer, pid, out = start("window", renderer)
        time.sleep(4)
        window_rss.append(stop(timer, pid, out))
    print("peak RSS, three widgets: layer host %.1f MB; GTK window %.1f MB (GTK's own renderer), "
          "%.1f MB (GSK_RENDERER=cairo), on the same compositor" % (layer_rss, *window_rss))
finally:
    sway.terminate()
    sway.wait(5)
    shutil.rmtree(work, ignore_errors=True)

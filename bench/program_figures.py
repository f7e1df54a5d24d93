#!/usr/bin/env python3
"""The program's own figures, measured on a virtual X display against qv725-sim --wire-speed:
start-up time to ON-Line and to the first drawn window, CPU share and wake-ups per second while
it polls once a second (History page open, so the scope draws and shows; then the Common page),
resident memory over a long run, each beside a bare Qt window of the same size running at the
same time (CPU and wake-ups also beside the library alone polling its own simulator once a
second, without a window); and instructions per polling cycle under callgrind on the offscreen
platform, on the Common and on the History page, beside the bare window's instructions per
second.

    program_figures.py BIN_DIR OUT_JSON [MINUTES]

BIN_DIR holds kelvane, libqv725.so, qv725-sim, bench_bare_window, bench_poll_driver and
bench_program_cycle. MINUTES is the length of the long run (10 by default). Writes what it
measured to OUT_JSON; a figure it could not measure is left out with the reason under "errors".
Never fails."""
import glob
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

bin_dir, out_path = sys.argv[1], sys.argv[2]
minutes = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
figures = {"errors": {}, "minutes": minutes}
work = tempfile.mkdtemp(prefix="kelvane-bench-")
children = []


def spawn(args, env=None, **kw):
    p = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, **kw)
    children.append(p)
    return p


def stop(p, sig=signal.SIGTERM, wait=30):
    if p.poll() is None:
        p.send_signal(sig)
        try:
            p.wait(wait)
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()


def tasks(pid):
    return glob.glob("/proc/%d/task/*" % pid)


def cpu_ns(pid):
    """Time on a CPU of every thread of the process, in nanoseconds."""
    total = 0
    for t in tasks(pid):
        try:
            total += int(open(t + "/schedstat").read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total


def switches(pid, kind="voluntary_ctxt_switches"):
    """Context switches of every thread of one kind. Each voluntary one is a sleep that ended in
    a wake-up; the involuntary ones are the scheduler taking the processor away, which depends
    on what else the machine runs."""
    total = 0
    for t in tasks(pid):
        try:
            for line in open(t + "/status"):
                if line.startswith(kind + ":"):
                    total += int(line.split()[1])
        except (OSError, ValueError):
            pass
    return total


def rss_kb(pid):
    try:
        for line in open("/proc/%d/status" % pid):
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    except (OSError, ValueError):
        pass
    return None


def holds(pid, path):
    for fd in glob.glob("/proc/%d/fd/*" % pid):
        try:
            if os.readlink(fd) == path:
                return True
        except OSError:
            pass
    return False


def window(name, env):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                       env=env, capture_output=True, text=True)
    ids = r.stdout.split()
    return ids[0] if ids else None


def key(wid, keys, env):
    subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=env, capture_output=True)
    subprocess.run(["xdotool", "key"] + keys, env=env, capture_output=True)


def start_program(env, pty):
    """Starts the program; returns it with its times to ON-Line (the controller's line open) and
    to its window on the screen, in seconds from the start."""
    t0 = time.monotonic()
    p = spawn([os.path.join(work, "prog", "kelvane")], env=env, stdout=subprocess.DEVNULL,
              stderr=open(os.path.join(work, "kelvane.log"), "a"))
    online = shown = None
    wid = None
    while time.monotonic() - t0 < 30 and p.poll() is None and (online is None or shown is None):
        if online is None and holds(p.pid, pty):
            online = time.monotonic() - t0
        if shown is None:
            wid = window("Kelvane", env)
            if wid:
                shown = time.monotonic() - t0
        time.sleep(0.002)
    return p, online, shown, wid


def measure(pids, seconds):
    """Per process: CPU as a share of one core, wake-ups per second and preemptions per
    second."""
    def sample(pid):
        return cpu_ns(pid), switches(pid), switches(pid, "nonvoluntary_ctxt_switches")
    before = {pid: sample(pid) for pid in pids}
    t0 = time.monotonic()
    time.sleep(seconds)
    elapsed = time.monotonic() - t0
    result = {}
    for pid in pids:
        c, w, p = sample(pid)
        result[pid] = (100.0 * (c - before[pid][0]) / (elapsed * 1e9),
                       (w - before[pid][1]) / elapsed, (p - before[pid][2]) / elapsed)
    return result


def measure_beside_polling(env, pids, seconds):
    """measure() of pids, and beside them of the library alone polling its own qv725-sim
    --wire-speed once a second, as the program does (bench_poll_driver --once-a-second): what
    the polling itself costs on this machine, without a window. Returns the measurements and
    the poller's (None when it could not run)."""
    driver = os.path.join(bin_dir, "bench_poll_driver")
    poller = None
    if os.path.exists(driver):
        poller = spawn([driver, "--once-a-second", str(seconds + 8)], env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(3)  # the simulator started and the controller opened
        if poller.poll() is not None:
            figures["errors"]["polling"] = "bench_poll_driver ended early"
            poller = None
    m = measure(pids + ([poller.pid] if poller else []), seconds)
    if poller:
        try:
            poller.wait(30)  # it ends by itself, taking its simulator with it
        except subprocess.TimeoutExpired:
            stop(poller)
    return m, (m[poller.pid] if poller else None)


def callgrind_profile(args, env, toggle, name):
    """Runs args under callgrind counting only inside the function `toggle`; returns the text
    of the profile, or None."""
    out = os.path.join(work, name + ".callgrind")
    p = spawn(["valgrind", "--tool=callgrind", "--collect-atstart=no",
               "--toggle-collect=" + toggle, "--callgrind-out-file=" + out] + args, env=env,
              stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, name + ".log"), "w"))
    try:
        p.wait(CALLGRIND_WARMUP + CALLGRIND_SECONDS + 300)
    except subprocess.TimeoutExpired:
        stop(p, wait=120)
    try:
        return open(out).read()
    except OSError:
        return None


def profile_total(text):
    m = re.search(r"^(?:totals|summary):\s+(\d+)", text or "", re.M)
    return int(m.group(1)) if m else None


def profile_calls(text, function):
    """Calls of `function` counted in the profile: the "calls=" lines after every call site
    naming it."""
    names, calls, current = {}, 0, None
    for line in (text or "").splitlines():
        m = re.match(r"c?fn=\((\d+)\)(?: (.*))?", line)
        if m:
            if m.group(2):
                names[m.group(1)] = m.group(2)
            current = names.get(m.group(1), "") if line.startswith("cfn=") else None
            continue
        if line.startswith("calls=") and current and function in current:
            calls += int(line[6:].split()[0])
    return calls


CALLGRIND_WARMUP = 10
CALLGRIND_SECONDS = 60


def callgrind(env):
    """Instructions per polling cycle on the Common page and on the History page, counting
    everything the program does over a minute of steady polling (the cycle, painting, timers,
    the event loop, the library's waits) on the offscreen platform; beside them, what a bare Qt
    window executes per second over the same minute. The simulator answers each request in one
    piece here, so that the count does not depend on how the reply bytes happened to trickle
    in."""
    if not shutil.which("valgrind"):
        figures["errors"]["callgrind"] = "valgrind is not installed"
        return
    driver = os.path.join(bin_dir, "bench_program_cycle")
    if not os.path.exists(driver):
        figures["errors"]["callgrind"] = "bench_program_cycle was not built"
        return
    sim = spawn([os.path.join(bin_dir, "qv725-sim"), "--name", "bench"], env=env,
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    if not sim.stdout.readline().startswith("ready "):
        figures["errors"]["callgrind"] = "qv725-sim did not start"
        return
    cenv = dict(env, QT_QPA_PLATFORM="offscreen")
    cenv.pop("DISPLAY", None)
    timing = [str(CALLGRIND_WARMUP), str(CALLGRIND_SECONDS)]
    for page in ("common", "history"):
        text = callgrind_profile([driver, page] + timing, cenv, "MeasuredPolling", page)
        total, cycles = profile_total(text), profile_calls(text, "TMainForm::TimerTimer()")
        if total and cycles:
            figures["callgrind_%s_ir_per_cycle" % page] = total / cycles
            figures["callgrind_%s_cycles" % page] = cycles
        else:
            figures["errors"]["callgrind"] = "no polling cycle was counted on the %s page" % page
    stop(sim)
    text = callgrind_profile([os.path.join(bin_dir, "bench_bare_window")] + timing, cenv,
                             "MeasuredIdle", "bare")
    total = profile_total(text)
    if total is not None:
        figures["callgrind_bare_ir_per_second"] = total / CALLGRIND_SECONDS


def main():
    for tool in ("Xvfb", "xdotool"):
        if not shutil.which(tool):
            figures["errors"]["display"] = "%s is not installed (scripts/setup installs it)" % tool
            return
    display = 80
    while os.path.exists("/tmp/.X11-unix/X%d" % display) or os.path.exists("/tmp/.X%d-lock" % display):
        display += 1
    env = dict(os.environ, DISPLAY=":%d" % display, XDG_RUNTIME_DIR=os.path.join(work, "run"),
               QT_LOGGING_RULES="qt.core.qobject.connect=false")
    env.pop("WAYLAND_DISPLAY", None)
    os.mkdir(env["XDG_RUNTIME_DIR"], 0o700)
    spawn(["Xvfb", env["DISPLAY"], "-screen", "0", "1024x768x24", "-nolisten", "tcp",
           "-noreset"], env=env,
          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if subprocess.run(["xdotool", "getdisplaygeometry"], env=env,
                          capture_output=True).returncode == 0:
            break
        time.sleep(0.1)
    if shutil.which("trayer"):
        spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
               "--height", "24"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    sim = spawn([os.path.join(bin_dir, "qv725-sim"), "--wire-speed", "--name", "bench"], env=env,
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    ready = sim.stdout.readline().split()
    if len(ready) != 2 or ready[0] != "ready":
        figures["errors"]["sim"] = "qv725-sim did not start"
        return
    pty = os.readlink(ready[1])

    # The program runs from a copy, so its settings file lands in the work folder.
    os.mkdir(os.path.join(work, "prog"))
    for f in ["kelvane"] + [os.path.basename(x) for x in glob.glob(os.path.join(bin_dir, "libqv725.so*"))]:
        shutil.copy2(os.path.join(bin_dir, f), os.path.join(work, "prog", f))

    # Start-up, five times; the median of each.
    onlines, showns = [], []
    for _ in range(5):
        p, online, shown, _ = start_program(env, pty)
        if online is not None and shown is not None:
            onlines.append(online)
            showns.append(shown)
        stop(p)
    if onlines:
        figures["startup_online_ms"] = 1000 * sorted(onlines)[len(onlines) // 2]
        figures["startup_window_ms"] = 1000 * sorted(showns)[len(showns) // 2]
        figures["startup_runs"] = len(onlines)
    else:
        figures["errors"]["startup"] = "the program did not come up (see kelvane.log)"
        return

    # The long run: the program and a bare window side by side.
    prog, _, _, wid = start_program(env, pty)
    bare = spawn([os.path.join(bin_dir, "bench_bare_window")], env=env,
                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    started = time.monotonic()
    for _ in range(300):
        if window("Bare window", env):
            break
        time.sleep(0.1)
    if wid is None:
        figures["errors"]["run"] = "no program window"
        return
    key(wid, ["ctrl+Tab", "ctrl+Tab"], env)  # Common -> Channel -> History
    subprocess.run(["xdotool", "mousemove", "1000", "750"], env=env, capture_output=True)
    time.sleep(10)
    rss = []
    m, polling = measure_beside_polling(env, [prog.pid, bare.pid], 60)
    (figures["history_cpu_percent"], figures["history_wakeups"],
     figures["history_preemptions"]) = m[prog.pid]
    figures["bare_cpu_percent"], figures["bare_wakeups"], figures["bare_preemptions"] = m[bare.pid]
    if polling is not None:
        figures["polling_cpu_percent"], figures["polling_wakeups"], _ = polling
    key(wid, ["ctrl+shift+Tab", "ctrl+shift+Tab"], env)  # back to Common
    subprocess.run(["xdotool", "mousemove", "1000", "750"], env=env, capture_output=True)
    time.sleep(5)
    m, polling = measure_beside_polling(env, [prog.pid, bare.pid], 60)
    (figures["common_cpu_percent"], figures["common_wakeups"],
     figures["common_preemptions"]) = m[prog.pid]
    figures["bare2_cpu_percent"], figures["bare2_wakeups"], figures["bare2_preemptions"] = m[bare.pid]
    if polling is not None:
        figures["polling2_cpu_percent"], figures["polling2_wakeups"], _ = polling
    while time.monotonic() - started < minutes * 60 and prog.poll() is None:
        rss.append((time.monotonic() - started, rss_kb(prog.pid), rss_kb(bare.pid)))
        time.sleep(10)
    rss.append((time.monotonic() - started, rss_kb(prog.pid), rss_kb(bare.pid)))
    figures["rss"] = rss
    stop(prog)
    stop(bare)
    stop(sim)

    callgrind(env)


try:
    main()
except Exception as error:  # figures only: report, never fail
    figures["errors"]["script"] = repr(error)
finally:
    for p in reversed(children):
        try:
            stop(p, wait=10)
        except Exception:
            pass
    shutil.rmtree(work, ignore_errors=True)
    with open(out_path, "w") as f:
        json.dump(figures, f, indent=1)

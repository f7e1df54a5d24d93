# The figures table of bench/run: reads the measurements bench/run left in its output folder
# and writes the table. Arguments: the output folder and the number of polls.
import json, os, platform, re, subprocess, sys

out, polls = sys.argv[1], int(sys.argv[2])
rows = []
def row(figure, measured, reference, relation, goal):
    rows.append((figure, measured, reference, relation, goal))

def load(name):
    try:
        with open(os.path.join(out, name)) as f:
            return json.load(f)
    except (OSError, ValueError):
        return None

def driver(name):
    try:
        text = open(os.path.join(out, name)).read()
    except OSError:
        return {}
    return {k: float(v) for k, v in re.findall(r"(\w+)=([-\d.]+)", text)}

# (a) round trips against the simulator at wire speed, and the library's CPU time per request
# with the reply bytes arriving one by one at wire pace and with each reply arriving in one piece
def benchmarks(name):
    data = load(name)
    return {b["name"].split("/")[0]: b for b in (data or {}).get("benchmarks", [])}
paced, at_once = benchmarks("roundtrip.json"), benchmarks("roundtrip-at-once.json")
def measured(b):
    return b and "x_wire" in b and not b.get("failed", 0)
for name, label in (("BM_GetT", "`QV725_GetT` round trip"),
                    ("BM_Poll", "Whole poll (GetT, GetV, GetPWM)")):
    b = paced.get(name)
    if not measured(b):
        reason = (b or {}).get("error_message", "failed requests" if b else "did not run")
        row(label + ", qv725-sim --wire-speed", "not measured: " + reason, "", "", "within 1.25x")
        continue
    row(label + ", qv725-sim --wire-speed", "%.2f ms" % b["real_time"],
        "%.2f ms wire time of its %d bytes at 38400 baud" % (b["wire_ms"], round(b["bytes"])),
        "%.2fx" % b["x_wire"], "within 1.25x")
for runs, how in ((paced, "reply bytes arriving one by one at wire pace"),
                  (at_once, "each reply arriving in one piece")):
    for name, what, requests in (("BM_GetT", "GetT", 1), ("BM_Poll", "poll", 3)):
        label = "Library CPU per request (%s), %s" % (what, how)
        b = runs.get(name)
        if not measured(b):
            row(label, "not measured", "", "", "under 2 %")
            continue
        wire_us = b["wire_ms"] * 1000 / requests
        row(label, "%.1f us" % b["cpu_us/req"], "%.0f us wire time per request" % wire_us,
            "%.2f %%" % (100 * b["cpu_us/req"] / wire_us), "under 2 %")

# (b) Wake codec throughput
wk = load("wake.json")
for b in (wk or {}).get("benchmarks", []):
    m = re.match(r"(BuildFrame|ParseFrame)/data:(\d+)/escaped:(\d)", b["name"])
    if not m or "bytes_per_second" not in b:
        continue
    kind = "build" if m.group(1) == "BuildFrame" else "parse"
    what = "%s data bytes%s" % (m.group(2), ", all escaped" if m.group(3) == "1" else "")
    row("Wake frame %s throughput (%s)" % (kind, what), "%.0f MB/s" % (b["bytes_per_second"] / 1e6),
        "3840 B/s on the wire", "%.0fx" % (b["bytes_per_second"] / 3840), "")
if not wk:
    row("Wake frame build/parse throughput", "not measured: bench_wake did not run", "", "", "")

# (c) instructions per poll under callgrind
d = driver("driver.txt")
bytes_per_poll = d.get("wire_bytes_per_poll")
ir = None
try:
    for line in open(os.path.join(out, "callgrind.out")):
        if line.startswith("totals:") or line.startswith("summary:"):
            ir = int(line.split()[1])
except OSError:
    pass
cg = driver("callgrind.driver")
if ir and cg.get("polls") and not cg.get("failed"):
    per_poll = ir / cg["polls"]
    row("Library instructions per poll (callgrind)", "%.0f" % per_poll,
        "%.1f wire bytes per poll" % cg["wire_bytes_per_poll"],
        "%.0f per wire byte" % (per_poll / cg["wire_bytes_per_poll"]), "watch from change to change")
else:
    row("Library instructions per poll (callgrind)", "not measured: valgrind or the driver failed",
        "", "", "watch from change to change")

# (d) system calls per byte of a poll
def strace_counts(n):
    counts = {}
    try:
        for line in open(os.path.join(out, "strace.%d" % n)):
            parts = line.split()
            if len(parts) >= 5 and parts[0][0].isdigit() and parts[-1] != "total":
                counts[parts[-1]] = int(parts[3])
    except OSError:
        return None
    return counts
a, b = strace_counts(20), strace_counts(220)
s20, s220 = driver("strace.20.driver"), driver("strace.220.driver")
if a is not None and b is not None and s220.get("wire_bytes_per_poll") and not s20.get("failed") \
        and not s220.get("failed"):
    per = {k: (b.get(k, 0) - a.get(k, 0)) / 200 for k in set(a) | set(b)}
    per = {k: v for k, v in per.items() if v >= 0.05}
    total = sum(per.values())
    detail = ", ".join("%s %.1f" % (k, v) for k, v in sorted(per.items(), key=lambda kv: -kv[1]))
    row("System calls per poll (strace -c)", "%.1f (%s)" % (total, detail),
        "%.1f wire bytes per poll" % s220["wire_bytes_per_poll"],
        "%.2f per wire byte" % (total / s220["wire_bytes_per_poll"]), "as few as the bytes allow")
elif d.get("reads_per_poll", -1) >= 0 and bytes_per_poll:
    total = d["reads_per_poll"] + d["writes_per_poll"]
    row("Read and write calls per poll (/proc/thread-self/io; poll() not counted)",
        "%.1f" % total, "%.1f wire bytes per poll" % bytes_per_poll,
        "%.2f per wire byte" % (total / bytes_per_poll), "as few as the bytes allow")
else:
    row("System calls per poll", "not measured: no strace and no /proc counters", "", "", "")

# (f) the longest single library call against a device that trickles a stray byte every 150 ms
# and never answers, beside the deadline a reply that never starts should keep
tr = driver("trickle.txt")
label = "Longest single library call against a trickling device (a stray byte every 150 ms, " \
    "no reply), qv725-sim"
if tr.get("calls") and tr.get("longest_ms") and not tr.get("unexpected"):
    row(label, "%.1f ms (of %d calls; opening over %d such devices: %.1f ms)" % (
        tr["longest_ms"], tr["calls"], tr["open_candidates"], tr["open_ms"]),
        "%.1f ms deadline: 200 ms read timeout + wire time of a frame header" % tr["deadline_ms"],
        "%.2fx" % (tr["longest_ms"] / tr["deadline_ms"]), "within the deadline")
else:
    row(label, "not measured: " + ("unexpected results" if tr.get("unexpected")
                                   else "bench_trickle did not run"), "", "", "within the deadline")

# (e) the program on a virtual display, beside a bare Qt window of the same size
pf = load("program.json") or {"errors": {"program": "the program or the bare window was not built"}}
errors = pf.get("errors", {})
def why(*keys):
    for k in keys:
        if k in errors:
            return "not measured: " + errors[k]
    return "not measured: " + (next(iter(errors.values())) if errors else "no figures")
for page, key in (("History page open: scope drawing", "history"), ("Common page open", "common")):
    bare = "bare" if key == "history" else "bare2"
    if key + "_cpu_percent" in pf:
        floor = pf[bare + "_cpu_percent"]
        poller = "polling" if key == "history" else "polling2"
        polling = ("" if poller + "_cpu_percent" not in pf else
                   "; the library alone polling once a second, no window: %.3f %%"
                   % pf[poller + "_cpu_percent"])
        row("Program CPU polling once a second, %s (share of one core over a minute)" % page,
            "%.3f %%" % pf[key + "_cpu_percent"], "bare Qt window: %.3f %%" % floor + polling,
            "+%.3f %%" % (pf[key + "_cpu_percent"] - floor), "at most 0.05 %")
        preempted = pf.get(key + "_preemptions")
        row("Program wake-ups per second (sleeps ended: voluntary context switches of all "
            "threads), %s" % page,
            "%.1f" % pf[key + "_wakeups"] +
            ("" if preempted is None else " (besides %.1f preemptions)" % preempted),
            "bare Qt window: %.1f" % pf[bare + "_wakeups"] +
            ("" if poller + "_wakeups" not in pf else
             "; the library alone polling once a second: %.1f" % pf[poller + "_wakeups"]),
            "+%.1f" % (pf[key + "_wakeups"] - pf[bare + "_wakeups"]), "at most 10")
    else:
        row("Program CPU polling once a second, %s" % page, why("startup", "run", "display", "sim", "script"),
            "bare Qt window of the same size", "", "at most 0.05 %")
rss = pf.get("rss") or []
if rss:
    last = rss[-1]
    full = [r for r in rss if r[0] >= 420 and r[1]]  # 400 samples of history after ~7 minutes
    growth = ("%+.1f MB from %.0f s (history full) to %.0f s" % ((last[1] - full[0][1]) / 1024,
              full[0][0], last[0])) if len(full) >= 2 else "history not full in this run"
    row("Program resident memory after %.0f minutes of polling" % (last[0] / 60),
        "%.1f MB (%s)" % (last[1] / 1024, growth), "bare Qt window: %.1f MB" % (last[2] / 1024),
        "+%.1f MB" % ((last[1] - last[2]) / 1024), "under 40 MB, no growth")
else:
    row("Program resident memory after 10 minutes of polling", why("run", "startup", "display", "sim", "script"),
        "", "", "under 40 MB, no growth")
if "startup_online_ms" in pf:
    row("Program start-up to ON-Line (controller open and read) / to its window on the screen",
        "%.0f ms / %.0f ms" % (pf["startup_online_ms"], pf["startup_window_ms"]),
        "median of %d starts" % pf["startup_runs"], "", "")
else:
    row("Program start-up time to first drawn window and to ON-Line", why("startup", "display", "sim", "script"),
        "", "", "")
# Instructions per polling cycle, everything counted (painting, timers, event loop, library),
# beside what a bare Qt window executes per second (one cycle's time) in the same run.
for page, key in (("Common page", "common"), ("History page (scope scrolling)", "history")):
    label = "Program instructions per polling cycle, %s (callgrind, offscreen, all counted)" % page
    if "callgrind_%s_ir_per_cycle" % key in pf:
        bare_ir = pf.get("callgrind_bare_ir_per_second")
        row(label, "%.0f (%d cycles)" % (pf["callgrind_%s_ir_per_cycle" % key],
                                        pf["callgrind_%s_cycles" % key]),
            "bare Qt window: %.0f per second" % bare_ir if bare_ir is not None else
            "bare Qt window: not measured", "", "at most 500000")
    else:
        row(label, why("callgrind", "script"), "", "", "at most 500000")

# (g) system calls per second while no controller is attached, and the time to ON-Line
def idle(scenario):
    a, b = strace_counts_named("idle.%s.3" % scenario), strace_counts_named("idle.%s.63" % scenario)
    da, db = driver("idle.%s.3.driver" % scenario), driver("idle.%s.63.driver" % scenario)
    if a is None or b is None or "seconds" not in da or "seconds" not in db:
        return None
    per = {k: (b.get(k, 0) - a.get(k, 0)) / (db["seconds"] - da["seconds"]) for k in set(a) | set(b)}
    per = {k: v for k, v in per.items() if v >= 0.05}
    return sum(per.values()), per, db
def strace_counts_named(name):
    counts = {}
    try:
        for line in open(os.path.join(out, name)):
            parts = line.split()
            if len(parts) >= 5 and parts[0][0].isdigit() and parts[-1] != "total":
                counts[parts[-1]] = int(parts[3])
    except OSError:
        return None
    return counts
for scenario, label in (("none", "no USB serial port"),
                        ("foreign", "two foreign FTDI ports that never answer (fake sysfs)")):
    figure = "Idle system calls per second, no controller, %s, searching once a second, " \
        "averaged over a minute (strace -f -c, bench_idle_driver)" % label
    r = idle(scenario)
    if r is None:
        row(figure, "not measured: no strace or the driver failed", "", "", "at most 10/s")
        continue
    total, per, d = r
    detail = ", ".join("%s %.1f" % (k, v) for k, v in sorted(per.items(), key=lambda kv: -kv[1]))
    probes = d.get("probe_bytes", 0)
    row(figure, "%.1f/s (%s)" % (total, detail),
        "bytes written to the foreign ports in %d s: %d (one identification request each)"
        % (d["seconds"], probes) if scenario == "foreign" else "", "", "at most 10/s")
pl = driver("idle.plug.driver")
if pl.get("online_ms", -1) > 0:
    row("Controller plugged in behind an FTDI bridge to ON-Line, searching once a second, "
        "plugged right after a search", "%.0f ms" % pl["online_ms"], "1000 ms search interval",
        "", "within 1 s of the next search")
else:
    row("Controller plugged in to ON-Line", "not measured: bench_idle_driver --plug failed", "", "",
        "within 1 s of the next search")

def cpu():
    try:
        for line in open("/proc/cpuinfo"):
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown CPU"
try:
    commit = subprocess.run(["git", "rev-parse", "--short", "HEAD"], capture_output=True,
                            text=True).stdout.strip()
except OSError:
    commit = "?"
print("Kelvane figures: commit %s, %s, %d cores, Linux %s" % (commit or "?", cpu(), os.cpu_count(),
                                                            platform.release()))
print()
header = ("Figure", "Measured", "Reference (same run)", "Measured : reference", "Goal")
print("| " + " | ".join(header) + " |")
print("|" + "|".join("---" for _ in header) + "|")
for r in rows:
    print("| " + " | ".join(r) + " |")

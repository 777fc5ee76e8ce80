# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the console offscreen against the simulated unit and prints each
figure with its budget. CPU and memory come from the kernel's accounting
(/proc), never from the console's own timers."""

import argparse
import contextlib
import json
import os
import select
import signal
import statistics
import subprocess
import sys
import tempfile
import time
from collections import namedtuple

# Other build directories, e.g. a second checkout's, through the environment.
BUILD_DEFAULT = os.environ.get("TORVANE_BUILD_DEFAULT", "build/default")
BUILD_BENCH = os.environ.get("TORVANE_BUILD_BENCH", "build/bench")
CONSOLE = f"{BUILD_DEFAULT}/src/torvane-console"
LOGGER = f"{BUILD_DEFAULT}/src/torvane-logger"
SIM = f"{BUILD_DEFAULT}/sim/torvane-unit-sim"
BENCH = f"{BUILD_BENCH}/bench/torvane-bench"
SOAK = f"{BUILD_BENCH}/bench/torvane-soak"
TIMER_FLOOR = f"{BUILD_BENCH}/bench/torvane-timer-floor"
ADAPTERS = f"{BUILD_BENCH}/bench/torvane-adapters"
MAKE_RECORDING = f"{BUILD_BENCH}/bench/torvane-make-recording"
VIEWER_REDRAW = f"{BUILD_BENCH}/bench/torvane-viewer-redraw"
EXCEEDANCE_SCAN = f"{BUILD_BENCH}/bench/torvane-exceedance-scan"
ALARM_LATENCY = f"{BUILD_BENCH}/bench/torvane-alarm-latency"

# test: "max" value <= limit, "min" value >= limit, "near" within `within` of
# limit, "all" every one counted, "yes" a yes-or-no that must be yes. A limit
# of None is counted in the run itself and given with the figure.
Budget = namedtuple("Budget", "test limit unit meaning within", defaults=[None])
BUDGETS = {
    "receive_path": Budget("min", 100000, "lines/s",
                           "telemetry lines the receive path decodes a second on one core"),
    "first_frame": Budget("max", 250, "ms",
                          "start to the main window's first frame, median of 7 whole runs"),
    "paced_character": Budget("near", 60, "ms",
                              "paced character interval on the wire, median", within=6),
    "paced_command": Budget("near", 310, "ms",
                            "paced CR to the next command's first character, median", within=25),
    "cpu_silent": Budget("max", 1.0, "x floor", "console CPU retrying against a silent unit"),
    "cpu_idle": Budget("max", 1.8, "x floor",
                       "console CPU connected and idle (engine stopped, /p polling)"),
    "cpu_streaming": Budget("max", 2.6, "x floor",
                            "console CPU while streaming at the full line rate"),
    "cpu_streaming_limits": Budget("max", 2.6, "x floor",
                                   "the same with all four alarm limits on every figure"),
    "memory_streaming": Budget("max", 80, "MB", "peak resident memory while streaming"),
    "vanish_alive": Budget("yes", None, "", "console still running after the device vanished"),
    "cpu_vanished": Budget("max", 0.3, "x floor", "console CPU after the device vanished"),
    "unterminated_growth": Budget("max", 1024, "kB",
                                  "resident growth over 10 MB without a line terminator"),
    "unterminated_after": Budget("min", 1, "lines", "good lines decoded after those 10 MB"),
    "noise_after": Budget("min", 20, "lines",
                          "good lines of 20 decoded after 60 s of random bytes at the line rate"),
    "overflow_shown": Budget("max", 0, "lines", "engine-speed fields 8000..FFFF shown"),
    "overflow_between": Budget("min", None, "lines",
                               "good lines decoded between them, at least the overflow lines sent"),
    "lines_lost": Budget("max", 0, "lines", "telemetry lines not decoded of 200,000"),
    "lines_growth": Budget("max", 2048, "kB", "resident growth over 200,000 telemetry lines"),
    "adapter_sent": Budget("min", 200, "lines",
                           "lines the unit sends in 20 s behind an adapter; fewer, it stalled"),
    "adapter_lines": Budget("all", None, "lines",
                            "telemetry lines decoded at the full line rate behind an adapter"),
    "mute": Budget("max", 3.5, "s",
                   "unit mute to \"No data from unit\", worst of 3, from the last byte received"),
    "replug": Budget("max", 5, "s", "replug, click on COM1 to \"Stream Mode\", worst of 2"),
    "reconnect": Budget("max", 5, "s", "replug, no click: the device back to \"Stream Mode\", "
                        "worst of 2"),
    "cpu_recording": Budget("max", 0.5, "x floor", "console CPU --record and --trace add "
                            "while streaming (with them less without)"),
    "recording_size": Budget("max", 15, "MB", "recording at the full line rate, per hour"),
    "view_load": Budget("max", 2, "s", "--view of 1.7 million rows to its first frame, more than "
                        "of 100 rows, median of 3"),
    "view_memory": Budget("max", 150, "MB", "peak resident memory of that viewer, more than "
                          "of 100 rows, median of 3"),
    "view_redraw": Budget("max", 16, "ms", "worst redraw of those rows, 1920 pixels wide, over "
                          "a sweep of zoom levels"),
    "overlay_redraw": Budget("max", 16, "ms", "worst redraw of those rows with a second recording "
                             "of as many laid over them by clock time, over the same sweep"),
    "exceedance_scan": Budget("max", 0.5, "s", "the exceedance detector over those rows, all four "
                              "limits on every figure, median of 3"),
    "report_text": Budget("max", 2, "s", "--report of those rows, the text alone, whole "
                          "process, median of 3"),
    "report_pdf": Budget("max", 3, "s", "--report --pdf of those rows, the text and the page, "
                         "whole process, median of 3"),
    "alarm_shown": Budget("max", 100, "ms", "first line past a limit to the alarm strip, beyond "
                          "the 1 s on-delay, worst of 5"),
    "alarm_acknowledged": Budget("max", 100, "ms", "a click on the alarm strip to the alarm "
                                 "acknowledged and the tone stopped, worst of 5"),
    "runs_first_look": Budget("max", 10, "s", "--runs over 200 recordings of 10 minutes, no "
                              "index yet"),
    "runs_second_look": Budget("max", 1, "s", "--runs over the same recordings, with the index"),
    "runs_memory": Budget("max", 200, "MB", "peak resident memory of --runs over those "
                          "recordings, the worse of the two looks"),
    "cpu_logger": Budget("max", 1.0, "x floor",
                         "torvane-logger CPU recording at the full line rate"),
    "logger_rss": Budget("max", 20, "MB",
                         "torvane-logger peak resident memory recording at the full line rate"),
    "cpu_logger_vanished": Budget("max", 0.3, "x floor",
                                  "torvane-logger CPU waiting for a device that is not there"),
}
results = []


def number(value):
    return f"{value:.0f}" if abs(value) >= 1000 else f"{value:g}"


def meets(key, value, limit=None):
    budget = BUDGETS[key]
    limit = budget.limit if budget.limit is not None else limit
    return {"max": lambda: value <= limit, "min": lambda: value >= limit,
            "near": lambda: abs(value - limit) <= budget.within,
            "yes": lambda: bool(value)}[budget.test]()


def wanted(budget, limit=None):
    """The budget as printed, e.g. "<= 2.6 x floor"."""
    if budget.test in ("all", "yes"):
        return budget.test
    limit = budget.limit if budget.limit is not None else limit
    op = {"max": "<=", "min": ">=", "near": "="}[budget.test]
    text = f"{op} {'(per run)' if limit is None else number(limit)}"
    if budget.within:
        text += f" ± {number(budget.within)}"
    return f"{text} {budget.unit}".rstrip()


def check(key, value, limit=None, total=None, also=True, label=""):
    """Prints one line for the figure `key`: PASS or FAIL, value, budget and
    what it means. `limit` only for a budget counted in the run, `total` for
    an "all" figure, `also` for conditions the figure needs besides."""
    budget = BUDGETS[key]
    if budget.test == "all":
        ok, shown = value == total, f"{number(value)} of {number(total)} {budget.unit}"
    elif budget.test == "yes":
        ok, shown = bool(value), "yes" if value else "no"
    else:
        ok, shown = meets(key, value, limit), f"{number(value)} {budget.unit}".rstrip()
    ok = ok and also
    results.append(ok)
    print(f"{'PASS' if ok else 'FAIL'}  {key:<20} {shown}  (budget {wanted(budget, limit)})  "
          f"{budget.meaning}{f': {label}' if label else ''}", flush=True)


def no_figure(key, why, label=""):
    results.append(False)
    print(f"FAIL  {key:<20} no figure ({why})  {BUDGETS[key].meaning}"
          f"{f': {label}' if label else ''}", flush=True)


def signal_group(proc, sig):
    with contextlib.suppress(ProcessLookupError, PermissionError):
        os.killpg(proc.pid, sig)


def end(proc, grace=5):
    """Ends `proc` and whatever it started (its own process group): asks,
    waits `grace` seconds, then kills."""
    signal_group(proc, signal.SIGTERM)
    try:
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        signal_group(proc, signal.SIGKILL)
        proc.wait()
    signal_group(proc, signal.SIGKILL)  # anything it left behind
    for stream in (proc.stdin, proc.stdout, proc.stderr):
        if stream:
            stream.close()


@contextlib.contextmanager
def running(args, **options):
    """A child process that is ended when the block is left, however it is
    left. Its own process group, so that a program's children end with it;
    stdin from /dev/null, so that a background group never waits on the
    terminal."""
    proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, process_group=0, **options)
    try:
        yield proc
    finally:
        end(proc)


def finished(args, timeout):
    """Runs `args` to the end and returns its standard output; raises when it
    fails or takes longer than `timeout` seconds."""
    with running(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True) as proc:
        out, err = proc.communicate(timeout=timeout)
        if proc.returncode:
            raise subprocess.CalledProcessError(proc.returncode, args, out, err)
        return out


def thread_times(pid):
    """Each thread's CPU time in nanoseconds, from the scheduler's own
    accounting: /proc/PID/stat counts in clock ticks (10 ms), too coarse for
    a program that runs a few milliseconds a second. That is the fallback
    on a kernel without scheduler statistics."""
    if not os.path.exists(f"/proc/{pid}/schedstat"):
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return {"all": (int(fields[11]) + int(fields[12])) * 10**9 // os.sysconf("SC_CLK_TCK")}
    times = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                times[tid] = int(f.read().split()[0])
        except (OSError, ValueError):
            pass  # the thread has just ended
    return times


def cpu_shares(pids, seconds):
    """Per cent of one core for each process, all over the same `seconds`.
    A thread that ends during the sample takes its last moments with it."""
    start_times, start = [thread_times(pid) for pid in pids], time.monotonic()
    time.sleep(seconds)
    end_times, elapsed = [thread_times(pid) for pid in pids], time.monotonic() - start
    return [100 * sum(ns - before.get(tid, 0) for tid, ns in after.items()) / 1e9 / elapsed
            for before, after in zip(start_times, end_times)]


def cpu_share(pid, seconds):
    return cpu_shares([pid], seconds)[0]


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


Unit = namedtuple("Unit", "proc link")


@contextlib.contextmanager
def unit(*options):
    """The simulated unit on a pseudo-terminal reached through a symlink."""
    with tempfile.TemporaryDirectory() as folder:
        link = os.path.join(folder, "unit")
        with running([SIM, "--link", link, "--seed", "1", *options],
                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True) as proc:
            proc.stdout.readline()  # its first line says the link is there
            yield Unit(proc, link)


def console(device, *options):
    return running([CONSOLE, "--port", f"1={device}", "--connect", "1", *options],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def receive_path():
    out = finished([BENCH, "--benchmark_filter=receivePathTelemetry", "--benchmark_format=json",
                    "--benchmark_min_time=1"], timeout=300)
    check("receive_path", round(json.loads(out)["benchmarks"][0]["items_per_second"]))


# Every CPU figure is a ratio to a bare Qt window with one 10 ms timer
# (bench/timer_floor.cpp) measured in the same run: what a wake-up costs
# varies from machine to machine and minute to minute, and the console's
# gauge timer wakes it as often as that window's timer does. Samples of the
# two alternate, floor first and last, so that both see the same machine; each
# console sample is set against the floor samples on either side of it.
PAIRS = 5
SAMPLE_SECONDS = 20


def floor_running():
    return running([TIMER_FLOOR], stderr=subprocess.DEVNULL)


def against_floor(key, proc, floor, name="console", label=""):
    """Alternates SAMPLE_SECONDS samples of the floor program and of the
    console (or the program `name`), both already running and warmed up;
    checks the median of the pair ratios against the budget for `key`,
    `label` saying which case of it this is."""
    floors, shares = [cpu_share(floor.pid, SAMPLE_SECONDS)], []
    for n in range(PAIRS):
        shares.append(cpu_share(proc.pid, SAMPLE_SECONDS))
        floors.append(cpu_share(floor.pid, SAMPLE_SECONDS))
        around = (floors[-2] + floors[-1]) / 2
        ratio = shares[-1] / around if around else float("inf")
        print(f"      pair {n + 1}: floor {floors[-2]:.2f} % and {floors[-1]:.2f} %, "
              f"{name} {shares[-1]:.2f} %, {ratio:.2f} x floor", flush=True)
    ratios = [share / ((before + after) / 2) if before + after else float("inf")
              for share, before, after in zip(shares, floors, floors[1:])]
    check(key, round(statistics.median(ratios), 2),
          label=f"{label}{', ' if label else ''}median of {PAIRS} pairs of {SAMPLE_SECONDS} s")
    print(f"INFO  absolute, medians: {name} {statistics.median(shares):.2f} %, "
          f"floor {statistics.median(floors):.2f} %", flush=True)


def console_cpu(key, unit_options, warm_up):
    """The console's CPU against a simulated unit, as a ratio to the floor,
    after `warm_up` seconds to connect; returns its peak resident memory (MB)."""
    with unit(*unit_options) as sim, console(sim.link) as proc, floor_running() as floor:
        time.sleep(warm_up)
        against_floor(key, proc, floor)
        return round(status_kb(proc.pid, "VmHWM") / 1024, 1)


def streaming():
    # 15 s to connect and read out; the engine then runs its loop.
    check("memory_streaming", console_cpu("cpu_streaming", ["--rate", "48"], 15))


# All four limits on every figure, a tenth and a fifth of its gauge range in
# from either end.
GAUGE_RANGES = {"rpm": (0, 3600), "advance": (20, 45), "volts": (0, 18), "temperature": (0, 150),
                "coils12": (0, 100), "coils34": (0, 100), "propeller": (0, 360)}


def limits_everywhere(path):
    with open(path, "w") as out:
        for key, (low, high) in GAUGE_RANGES.items():
            span = high - low
            for name, at in (("low_alarm", low + span * 0.1), ("low_caution", low + span * 0.2),
                             ("high_caution", high - span * 0.2),
                             ("high_alarm", high - span * 0.1)):
                out.write(f"{key}.{name} = {at:g}\n")
    return path


def streaming_with_limits():
    with tempfile.TemporaryDirectory() as folder:
        limits = limits_everywhere(os.path.join(folder, "limits.txt"))
        with unit("--rate", "48") as sim, console(sim.link, "--limits", limits) as proc, \
                floor_running() as floor:
            time.sleep(15)
            against_floor("cpu_streaming_limits", proc, floor)


def alarms():
    out = finished([ALARM_LATENCY], timeout=120)
    figures = json.loads(out)
    check("alarm_shown", round(figures["show_beyond_delay_ms"], 1))
    check("alarm_acknowledged", round(figures["acknowledge_ms"], 2))


def silent():
    console_cpu("cpu_silent", ["--silent"], 2)


def idle():
    console_cpu("cpu_idle", ["--engine-stopped"], 15)


def timer_floor():
    """Not a budget: the floor on its own, for reference."""
    with floor_running() as proc:
        time.sleep(2)
        share = cpu_share(proc.pid, SAMPLE_SECONDS)
    print(f"INFO  reference: a bare Qt window with one 10 ms timer, {SAMPLE_SECONDS} s: "
          f"{share:.2f} %", flush=True)


def first_frame():
    times = []
    for _ in range(7):
        start = time.monotonic()
        finished([CONSOLE, "--exit-after-first-frame"], timeout=60)
        times.append(1000 * (time.monotonic() - start))
    check("first_frame", round(statistics.median(times), 1))


def paced_timing():
    master, slave = os.openpty()
    try:
        arrivals = []
        with console(os.ttyname(slave)):
            end_at = time.monotonic() + 3.5
            while time.monotonic() < end_at:
                ready, _, _ = select.select([master], [], [], 0.05)
                if ready:
                    now = time.monotonic()
                    arrivals += [(b, now) for b in os.read(master, 256)]
    finally:
        os.close(master)
        os.close(slave)
    char_gaps, command_gaps = [], []
    for (prev, t0), (byte, t1) in zip(arrivals, arrivals[1:]):
        gap = 1000 * (t1 - t0)
        if prev == 13 and byte == ord("/"):
            command_gaps.append(gap)
        elif prev != 13:
            char_gaps.append(gap)
    check("paced_character", round(statistics.median(char_gaps), 1))
    check("paced_command", round(statistics.median(command_gaps), 1))


def vanish():
    with unit("--vanish-after", "20") as sim, console(sim.link) as proc, \
            floor_running() as floor:
        sim.proc.wait(timeout=30)
        time.sleep(1)
        alive = proc.poll() is None
        check("vanish_alive", alive)
        if alive:
            against_floor("cpu_vanished", proc, floor)


def soak(*args):
    out = finished([SOAK, *args], timeout=600)
    return {line.split()[0]: float(line.split()[1]) for line in out.splitlines()}


def soaks():
    figures = soak("unterminated", "10")
    check("unterminated_growth", figures["rss_growth_kb"])
    check("unterminated_after", figures["decoded_after"])
    figures = soak("noise", "60")
    check("noise_after", figures["decoded_after"])
    figures = soak("overflow")
    check("overflow_shown", figures["overflow_lines_shown"])
    check("overflow_between", figures["good_lines_decoded"], limit=figures["overflow_lines_sent"])
    figures = soak("lines", "200000")
    check("lines_lost", figures["lines_lost"])
    check("lines_growth", figures["rss_growth_kb"])
    print(f"      (200,000 lines at {figures['lines_per_second']:.0f} lines/s, "
          "sent in blocks of 40)")


def adapters_run(mode, amount, *options):
    return running([ADAPTERS, SIM, mode, str(amount), "--seed", "1", "--rate", "48", *options],
                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def figures_of(proc, key, label=""):
    """The figures a torvane-adapters run printed; None, and a FAIL line for
    `key`, when it could not finish."""
    try:
        out, err = proc.communicate(timeout=150)
    except subprocess.TimeoutExpired:
        signal_group(proc, signal.SIGKILL)  # its unit too, which may hold the pipes
        out, err = proc.communicate()
    if proc.returncode == 0:
        return {line.split()[0]: float(line.split()[1]) for line in out.splitlines()}
    no_figure(key, err.strip().splitlines()[-1] if err.strip()
              else f"exit status {proc.returncode}", label)
    return None


def adapter_figures(key, mode, amount, times):
    """`times` runs of one fault, one after the other; None when one failed."""
    runs = []
    for _ in range(times):
        with adapters_run(mode, amount) as proc:
            runs.append(figures_of(proc, key))
    return None if None in runs else runs


def adapters():
    """The console behind the USB adapters users have, and the two faults
    they meet: a unit that loses power and an adapter pulled out."""
    deliveries = [("1-character delivery", []),
                  ("16 ms adapter chunks", ["--chunk-ms", "16"]),
                  ("random 1-64 byte writes", ["--chunk-bytes", "1-64"]),
                  ("16 ms adapter chunks, CR LF", ["--chunk-ms", "16", "--line-end", "CRLF"])]
    # Counts, not times: side by side, each with its own unit, to save time.
    with contextlib.ExitStack() as stack:
        runs = [(name, stack.enter_context(adapters_run("lines", 20, *options)))
                for name, options in deliveries]
        for name, proc in runs:
            figures = figures_of(proc, "adapter_lines", name)
            if figures is None:
                continue
            # A stream that stalled, or lines cut or glued together, fail too.
            ok = (meets("adapter_sent", figures["sent"]) and figures["misordered"] == 0
                  and figures["malformed"] == 0 and figures["stream_mode_kept"] == 1)
            check("adapter_lines", figures["decoded"], total=figures["sent"], also=ok, label=name)
            engine = "running" if figures["engine_ran_throughout"] else "stopping"
            print(f"      (20 s, engine {engine}, {figures['lines_per_second']:.1f} lines/s sent; "
                  f"{figures['misordered']:.0f} out of order, "
                  f"{figures['malformed']:.0f} malformed; "
                  f"\"Stream Mode\" {'kept' if figures['stream_mode_kept'] else 'lost'})")

    # From the last byte received: the unit streams without a gap and mute
    # cuts even the line in progress, so that is when it went mute.
    mute = adapter_figures("mute", "mute", 8, 3)
    if mute:
        times = [figures["mute_to_no_data_s"] for figures in mute]
        check("mute", round(max(times), 2))
        apart = max(abs(figures["last_byte_after_schedule_ms"]) for figures in mute)
        print(f"      (each: {', '.join(f'{t:.2f}' for t in times)} s; the last byte came within "
              f"{apart:.0f} ms of the scheduled mute)")

    replug = adapter_figures("replug", "replug", 8, 2)
    if replug:
        worst = max(replug, key=lambda figures: figures["click_to_stream_s"])
        check("replug", round(worst["click_to_stream_s"], 2))
        # The stream request can go out between two of the bench's looks at
        # the queue; then only the rest of the split is known.
        request = (f"stream request waits for the 0.5 s retry timer "
                   f"{worst['request_wait_s']:.2f} s, answer {worst['answer_s']:.2f} s"
                   if "request_wait_s" in worst else "stream request and answer not split")
        print(f"INFO  where it goes: paced start-up to \"Connected\" {worst['handshake_s']:.2f} s, "
              f"read-out {worst['read_out_s']:.2f} s (poll ticks of 0.3 s), {request}", flush=True)
    back = adapter_figures("reconnect", "reconnect", 8, 2)
    if back:
        check("reconnect", round(max(figures["back_to_stream_s"] for figures in back), 2))


RECORDING_ROUNDS = 5


def recording():
    """What --record and --trace cost: consoles stream at the full line rate
    without them, with --record alone and with both, and are sampled with the
    floor over the same windows, so that each round compares them on the same
    machine; the file grows at the recording rate."""
    with contextlib.ExitStack() as stack:
        folder = stack.enter_context(tempfile.TemporaryDirectory())
        csv = os.path.join(folder, "both.csv")
        trace = os.path.join(folder, "both.trace")
        runs = {"without": [], "--record": ["--record", os.path.join(folder, "alone.csv")],
                "both": ["--record", csv, "--trace", trace]}
        units = {name: stack.enter_context(unit("--rate", "48")) for name in runs}
        procs = {name: stack.enter_context(console(units[name].link, *options))
                 for name, options in runs.items()}
        floor = stack.enter_context(floor_running())
        time.sleep(15)
        shares = {name: [] for name in [*runs, "floor"]}
        start_size, start = os.path.getsize(csv), time.monotonic()
        for n in range(RECORDING_ROUNDS):
            for name, share in zip(shares, cpu_shares([*(p.pid for p in procs.values()), floor.pid],
                                                      SAMPLE_SECONDS)):
                shares[name].append(share)
            print(f"      round {n + 1}: " + ", ".join(f"{name} {shares[name][-1]:.2f} %"
                                                        for name in shares), flush=True)
        elapsed = time.monotonic() - start
        bytes_per_hour = (os.path.getsize(csv) - start_size) / elapsed * 3600
        trace_per_hour = os.path.getsize(trace) / (elapsed + 15) * 3600

    def added(name):
        """What `name` adds to the console without, over the floor in the same
        window; the median of the rounds."""
        return round(statistics.median(
            (with_it - without) / floor if floor else float("inf")
            for with_it, without, floor
            in zip(shares[name], shares["without"], shares["floor"])), 2)

    check("cpu_recording", added("both"), label=f"median of {RECORDING_ROUNDS} rounds")
    print(f"INFO  --record alone adds {added('--record'):.2f} x floor; absolute, medians: "
          + ", ".join(f"{name} {statistics.median(shares[name]):.2f} %" for name in shares),
          flush=True)
    check("recording_size", round(bytes_per_hour / 1e6, 1))
    print(f"INFO  trace at the full line rate, about {trace_per_hour / 1e6:.0f} MB an hour",
          flush=True)


VIEW_ROWS = 1_700_000


def viewed(path):
    """Wall seconds and peak resident MB of the console opening `path` in
    the viewer, to its first frame."""
    start = time.monotonic()
    proc = subprocess.Popen([CONSOLE, "--view", path, "--exit-after-first-frame"],
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    if status:
        raise RuntimeError(f"--view {path} ended with status {status}")
    return time.monotonic() - start, usage.ru_maxrss / 1024


def viewer():
    with tempfile.TemporaryDirectory() as folder:
        big, small = f"{folder}/ten-hours.csv", f"{folder}/short.csv"
        finished([MAKE_RECORDING, big, str(VIEW_ROWS)], timeout=600)
        finished([MAKE_RECORDING, small, "100"], timeout=60)
        pairs = [(viewed(small), viewed(big)) for _ in range(3)]
        check("view_load", round(statistics.median(b[0] - s[0] for s, b in pairs), 2),
              label=f"{os.path.getsize(big) / 1e6:.0f} MB")
        check("view_memory", round(statistics.median(b[1] - s[1] for s, b in pairs)))
        out = finished([VIEWER_REDRAW, big], timeout=600)
        check("view_redraw", round(json.loads(out)["worst_ms"], 1))
        scan = json.loads(finished([EXCEEDANCE_SCAN, big], timeout=600))
        check("exceedance_scan", round(scan["median_ms"] / 1000, 3),
              label=f"{scan['events']} exceedances")
        report_figures(big)
        overlay_figures(big, folder)


def overlay_figures(big, folder):
    """The redraw with a second recording over the first: another file of
    nearly as many rows, so the two part at the end."""
    second = f"{folder}/second.csv"
    finished([MAKE_RECORDING, second, str(VIEW_ROWS - 1000)], timeout=600)
    out = json.loads(finished([VIEWER_REDRAW, big, second], timeout=600))
    check("overlay_redraw", round(out["worst_ms"], 1),
          label=f"the first alone {out['alone_worst_ms']:.1f} ms on the same sweep")


def reported(*options):
    """Wall seconds of the console's --report, the whole process."""
    start = time.monotonic()
    finished([CONSOLE, "--report", *options], timeout=600)
    return time.monotonic() - start


def report_figures(big):
    """--report of the viewer's 1.7 million rows, as text and as a page too."""
    pdf = f"{os.path.dirname(big)}/report.pdf"
    check("report_text", round(statistics.median(reported(big) for _ in range(3)), 2))
    check("report_pdf",
          round(statistics.median(reported(big, "--pdf", pdf) for _ in range(3)), 2))


LOGBOOK_RECORDINGS = 200
LOGBOOK_ROWS = 10 * 60 * 48


def runs_listed(folder, scratch):
    """Wall seconds and peak resident MB of --runs over `folder`, its
    index and limits in `scratch` rather than the user's."""
    env = {**os.environ, "XDG_CACHE_HOME": f"{scratch}/cache",
           "XDG_CONFIG_HOME": f"{scratch}/config"}
    start = time.monotonic()
    proc = subprocess.Popen([CONSOLE, "--runs", folder], stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    _, status, usage = os.wait4(proc.pid, 0)
    if status:
        raise RuntimeError(f"--runs {folder} ended with status {status}")
    return time.monotonic() - start, usage.ru_maxrss / 1024


def logbook():
    """The logbook's first look at a folder of recordings, which reads them
    all, and the second, which takes them from the index."""
    with tempfile.TemporaryDirectory() as scratch:
        folder = f"{scratch}/recordings"
        os.mkdir(folder)
        for n in range(LOGBOOK_RECORDINGS):
            finished([MAKE_RECORDING, f"{folder}/{n:03}.csv", str(LOGBOOK_ROWS), str(n)],
                     timeout=60)
        size = sum(entry.stat().st_size for entry in os.scandir(folder))
        first, first_memory = runs_listed(folder, scratch)
        second, second_memory = runs_listed(folder, scratch)
        check("runs_first_look", round(first, 2),
              label=f"{LOGBOOK_RECORDINGS} files, {size / 1e6:.0f} MB")
        check("runs_second_look", round(second, 2))
        check("runs_memory", round(max(first_memory, second_memory)),
              label=f"{first_memory:.0f} MB the first time, {second_memory:.0f} MB the second")


def logger_recording(device, folder):
    """torvane-logger recording into `folder`, with its settings backup in
    the same scratch folder."""
    return running([LOGGER, "--port", device, "--record", folder],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env={**os.environ, "XDG_DATA_HOME": folder})


def recorded(folder):
    return any(name.endswith(".csv") for name in os.listdir(folder))


def logger():
    """The logger recording what the unit streams at the full line rate."""
    with tempfile.TemporaryDirectory() as folder, unit("--rate", "48") as sim, \
            logger_recording(sim.link, folder) as proc, floor_running() as floor:
        time.sleep(15)
        if not recorded(folder):
            for key in ("cpu_logger", "logger_rss"):
                no_figure(key, "no recording after 15 s")
            return
        against_floor("cpu_logger", proc, floor, "logger")
        check("logger_rss", round(status_kb(proc.pid, "VmHWM") / 1024, 1))


def logger_waiting():
    """The logger waiting for its device: one not there when it starts, in a
    folder of its own, and one that vanishes while it records."""
    label = "not there at start"
    with tempfile.TemporaryDirectory() as folder, \
            logger_recording(os.path.join(folder, "unit"), folder) as proc, \
            floor_running() as floor:
        time.sleep(2)
        if proc.poll() is None:
            against_floor("cpu_logger_vanished", proc, floor, "logger", label)
        else:
            no_figure("cpu_logger_vanished", f"ended with status {proc.returncode}", label)

    label = "after it vanished"
    with tempfile.TemporaryDirectory() as folder, unit("--rate", "48", "--vanish-after", "20") \
            as sim, logger_recording(sim.link, folder) as proc, floor_running() as floor:
        sim.proc.wait(timeout=30)
        time.sleep(1)
        if proc.poll() is not None:
            no_figure("cpu_logger_vanished", f"ended with status {proc.returncode}", label)
        elif not recorded(folder):
            no_figure("cpu_logger_vanished", "no recording before the device vanished", label)
        else:
            against_floor("cpu_logger_vanished", proc, floor, "logger", label)


SCENARIOS = [receive_path, first_frame, paced_timing, timer_floor, silent, idle, streaming,
             streaming_with_limits, alarms, vanish, soaks, adapters, recording, viewer, logbook,
             logger, logger_waiting]


def main():
    names = [scenario.__name__ for scenario in SCENARIOS]
    parser = argparse.ArgumentParser(
        description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter,
        epilog="budgets:\n" + "\n".join(f"  {key:<20} {wanted(budget):<24} {budget.meaning}"
                                         for key, budget in BUDGETS.items()))
    parser.add_argument("scenario", nargs="*", help=f"any of: {', '.join(names)} (default all)")
    chosen = parser.parse_args().scenario
    if unknown := sorted(set(chosen) - set(names)):
        parser.error(f"no scenario {', '.join(unknown)}")
    # A plain kill ends the run through the same clean-up as Ctrl+C.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        for scenario in SCENARIOS:
            if chosen and scenario.__name__ not in chosen:
                continue
            try:
                scenario()
            except Exception as error:  # the others still run
                results.append(False)
                print(f"FAIL  {scenario.__name__}: stopped by {type(error).__name__}: {error}",
                      flush=True)
    except KeyboardInterrupt:
        interrupted = True
    else:
        interrupted = False
    failed = results.count(False)
    print(f"SUMMARY  {len(results) - failed} passed, {failed} failed"
          + (", interrupted" if interrupted else ""), flush=True)
    sys.exit(130 if interrupted else 1 if failed else 0)


if __name__ == "__main__":
    main()

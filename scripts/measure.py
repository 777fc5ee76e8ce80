"""Runs the console offscreen against the simulated unit and prints each
figure with its budget. CPU and memory come from the kernel's accounting
(/proc), never from the console's own timers."""

import json
import os
import select
import statistics
import subprocess
import sys
import tempfile
import time

# Other build directories, e.g. a second checkout's, through the environment.
BUILD_DEFAULT = os.environ.get("TORVANE_BUILD_DEFAULT", "build/default")
BUILD_BENCH = os.environ.get("TORVANE_BUILD_BENCH", "build/bench")
CONSOLE = f"{BUILD_DEFAULT}/src/torvane-console"
SIM = f"{BUILD_DEFAULT}/sim/torvane-unit-sim"
BENCH = f"{BUILD_BENCH}/bench/torvane-bench"
SOAK = f"{BUILD_BENCH}/bench/torvane-soak"
TIMER_FLOOR = f"{BUILD_BENCH}/bench/torvane-timer-floor"
ADAPTERS = f"{BUILD_BENCH}/bench/torvane-adapters"
results = []


def number(value):
    return f"{value:.0f}" if abs(value) >= 1000 else f"{value:g}"


def report(name, value, unit, budget, ok):
    ratio = f"{value / budget:.2f}" if budget else "-"
    line = (f"{'PASS' if ok else 'FAIL'}  {name}: {number(value)} {unit} "
            f"(budget {number(budget)} {unit}, ratio {ratio})")
    results.append(ok)
    print(line, flush=True)


def at_most(name, value, unit, budget):
    report(name, value, unit, budget, value <= budget)


def at_least(name, value, unit, budget):
    report(name, value, unit, budget, value >= budget)


def all_of(name, got, total, ok=True):
    ok = ok and got == total
    results.append(ok)
    print(f"{'PASS' if ok else 'FAIL'}  {name}: {number(got)} of {number(total)} (budget all)",
          flush=True)


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




class Unit:
    """The simulated unit on a pseudo-terminal reached through a symlink."""

    def __init__(self, *options):
        self.dir = tempfile.TemporaryDirectory()
        self.link = os.path.join(self.dir.name, "unit")
        self.proc = subprocess.Popen([SIM, "--link", self.link, "--seed", "1", *options],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.proc.stdout.readline()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
        self.proc.wait()
        self.dir.cleanup()


def console(device, *options, env=None):
    return subprocess.Popen([CONSOLE, "--port", f"1={device}", "--connect", "1", *options],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            env={**os.environ, **(env or {})})


def stop(proc):
    proc.terminate()
    proc.wait()


def receive_path():
    out = subprocess.run([BENCH, "--benchmark_filter=receivePathTelemetry",
                          "--benchmark_format=json", "--benchmark_min_time=1"],
                         capture_output=True, text=True, check=True).stdout
    rate = json.loads(out)["benchmarks"][0]["items_per_second"]
    at_least("receive path, telemetry lines per second on one core", round(rate), "lines/s", 100000)


# Every CPU figure is a ratio to a bare Qt window with one 10 ms timer
# (bench/timer_floor.cpp) measured in the same run: what a wake-up costs
# varies from machine to machine and minute to minute, and the console's
# gauge timer wakes it as often as that window's timer does. Samples of the
# two alternate, floor first and last, so that both see the same machine; each
# console sample is set against the floor samples on either side of it.
PAIRS = 5
SAMPLE_SECONDS = 20


def start_floor():
    return subprocess.Popen([TIMER_FLOOR], stderr=subprocess.DEVNULL)


def against_floor(name, proc, floor, budget):
    """Alternates SAMPLE_SECONDS samples of the floor program and of the
    console, both already running and warmed up; checks the median of the
    pair ratios against `budget`."""
    floors, shares = [cpu_share(floor.pid, SAMPLE_SECONDS)], []
    for n in range(PAIRS):
        shares.append(cpu_share(proc.pid, SAMPLE_SECONDS))
        floors.append(cpu_share(floor.pid, SAMPLE_SECONDS))
        around = (floors[-2] + floors[-1]) / 2
        ratio = shares[-1] / around if around else float("inf")
        print(f"      pair {n + 1}: floor {floors[-2]:.2f} % and {floors[-1]:.2f} %, "
              f"console {shares[-1]:.2f} %, {ratio:.2f} x floor", flush=True)
    ratios = [share / ((before + after) / 2) if before + after else float("inf")
              for share, before, after in zip(shares, floors, floors[1:])]
    at_most(f"{name}, median of {PAIRS} pairs of {SAMPLE_SECONDS} s", round(statistics.median(ratios), 2),
            "x floor", budget)
    print(f"INFO  absolute, medians: console {statistics.median(shares):.2f} %, "
          f"floor {statistics.median(floors):.2f} %", flush=True)


def console_cpu(name, unit_options, warm_up, budget):
    """The console's CPU against a simulated unit, as a ratio to the floor,
    after `warm_up` seconds to connect; returns its peak resident memory (MB)."""
    unit = Unit(*unit_options)
    proc = console(unit.link)
    floor = start_floor()
    time.sleep(warm_up)
    against_floor(name, proc, floor, budget)
    peak_mb = status_kb(proc.pid, "VmHWM") / 1024
    stop(floor)
    stop(proc)
    unit.stop()
    return round(peak_mb, 1)


def streaming():
    # 15 s to connect and read out; the engine then runs its loop.
    peak_mb = console_cpu("console CPU while streaming at the full line rate", ["--rate", "48"],
                          15, 2.6)
    at_most("peak resident memory while streaming", peak_mb, "MB", 80)


def silent():
    console_cpu("console CPU retrying against a silent unit", ["--silent"], 2, 1.0)


def idle():
    console_cpu("console CPU connected and idle (engine stopped, /p polling)",
                ["--engine-stopped"], 15, 1.8)


def timer_floor():
    """Not a budget: the floor on its own, for reference."""
    proc = start_floor()
    time.sleep(2)
    share = cpu_share(proc.pid, SAMPLE_SECONDS)
    stop(proc)
    print(f"INFO  reference: a bare Qt window with one 10 ms timer, {SAMPLE_SECONDS} s: "
          f"{share:.2f} %", flush=True)


def first_frame():
    times = []
    for _ in range(7):
        start = time.monotonic()
        subprocess.run([CONSOLE, "--exit-after-first-frame"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(1000 * (time.monotonic() - start))
    at_most("start to the main window's first frame (median of 7, whole run)",
            round(statistics.median(times), 1), "ms", 250)


def paced_timing():
    master, slave = os.openpty()
    proc = console(os.ttyname(slave))
    arrivals = []
    end = time.monotonic() + 3.5
    while time.monotonic() < end:
        ready, _, _ = select.select([master], [], [], 0.05)
        if ready:
            now = time.monotonic()
            arrivals += [(b, now) for b in os.read(master, 256)]
    stop(proc)
    os.close(master)
    os.close(slave)
    char_gaps, command_gaps = [], []
    for (prev, t0), (byte, t1) in zip(arrivals, arrivals[1:]):
        gap = 1000 * (t1 - t0)
        if prev == 13 and byte == ord("/"):
            command_gaps.append(gap)
        elif prev != 13:
            char_gaps.append(gap)
    median_char = round(statistics.median(char_gaps), 1)
    median_command = round(statistics.median(command_gaps), 1)
    report("paced character interval on the wire (median)", median_char, "ms", 60,
           abs(median_char - 60) <= 6)
    report("paced CR to next command's first character (median)", median_command, "ms", 310,
           abs(median_command - 310) <= 25)


def vanish():
    unit = Unit("--vanish-after", "20")
    proc = console(unit.link)
    floor = start_floor()
    unit.proc.wait(timeout=30)
    time.sleep(1)
    alive = proc.poll() is None
    report("console still running after the device vanished", int(alive), "", 1, alive)
    if alive:
        against_floor("console CPU after the device vanished", proc, floor, 1.3)
    stop(floor)
    stop(proc)
    unit.stop()


def soak(*args):
    out = subprocess.run([SOAK, *args], capture_output=True, text=True, check=True,
                         timeout=600).stdout
    return {line.split()[0]: float(line.split()[1]) for line in out.splitlines()}


def soaks():
    figures = soak("unterminated", "10")
    at_most("resident growth over 10 MB without a line terminator", figures["rss_growth_kb"],
            "kB", 1024)
    at_least("good lines decoded after the 10 MB", figures["decoded_after"], "lines", 1)
    figures = soak("noise", "60")
    at_least("good lines decoded after 60 s of random bytes at the line rate",
             figures["decoded_after"], "of 20", 20)
    figures = soak("overflow")
    at_most("engine-speed fields 8000..FFFF shown", figures["overflow_lines_shown"], "lines", 0)
    at_least("good lines decoded between them", figures["good_lines_decoded"], "lines",
             figures["overflow_lines_sent"])
    figures = soak("lines", "200000")
    at_most("telemetry lines not decoded of 200,000", figures["lines_lost"], "lines", 0)
    at_most("resident growth over 200,000 telemetry lines", figures["rss_growth_kb"], "kB", 2048)
    print(f"      (200,000 lines at {figures['lines_per_second']:.0f} lines/s, sent in blocks of 40)")


def figures_of(proc, name):
    """The figures a torvane-adapters run printed; None, and a FAIL line for
    `name`, when it could not finish."""
    try:
        out, err = proc.communicate(timeout=150)
    except subprocess.TimeoutExpired:
        proc.kill()
        out, err = proc.communicate()
    if proc.returncode == 0:
        return {line.split()[0]: float(line.split()[1]) for line in out.splitlines()}
    why = err.strip().splitlines()[-1] if err.strip() else f"exit status {proc.returncode}"
    results.append(False)
    print(f"FAIL  {name}: no figure ({why})", flush=True)
    return None


def adapters_run(mode, amount, *options):
    return subprocess.Popen([ADAPTERS, SIM, mode, str(amount), "--seed", "1", "--rate", "48",
                             *options], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def adapters():
    """The console behind the USB adapters users have, and the two faults
    they meet: a unit that loses power and an adapter pulled out."""
    deliveries = [("1-character delivery", []),
                  ("16 ms adapter chunks", ["--chunk-ms", "16"]),
                  ("random 1-64 byte writes", ["--chunk-bytes", "1-64"]),
                  ("16 ms adapter chunks, CR LF", ["--chunk-ms", "16", "--line-end", "CRLF"])]
    # Counts, not times: side by side, each with its own unit, to save time.
    runs = [(name, adapters_run("lines", 20, *options)) for name, options in deliveries]
    for name, proc in runs:
        title = f"telemetry lines decoded at the full line rate, {name}"
        figures = figures_of(proc, title)
        if figures is None:
            continue
        # A stream that stalled, or lines cut or glued together, fail too.
        ok = (figures["sent"] >= 10 * 20 and figures["misordered"] == 0
              and figures["malformed"] == 0 and figures["stream_mode_kept"] == 1)
        all_of(title, figures["decoded"], figures["sent"], ok)
        engine = "running" if figures["engine_ran_throughout"] else "stopping"
        print(f"      (20 s, engine {engine}, {figures['lines_per_second']:.1f} lines/s sent; "
              f"{figures['misordered']:.0f} out of order, {figures['malformed']:.0f} malformed; "
              f"\"Stream Mode\" {'kept' if figures['stream_mode_kept'] else 'lost'})")

    # From the last byte received: the unit streams without a gap and mute
    # cuts even the line in progress, so that is when it went mute.
    mute = [figures_of(adapters_run("mute", 8), "unit mute to \"No data from unit\"")
            for _ in range(3)]
    if None not in mute:
        times = [figures["mute_to_no_data_s"] for figures in mute]
        at_most("unit mute to \"No data from unit\" (worst of 3, from the last byte received)",
                round(max(times), 2), "s", 3.5)
        apart = max(abs(figures["last_byte_after_schedule_ms"]) for figures in mute)
        print(f"      (each: {', '.join(f'{t:.2f}' for t in times)} s; the last byte came within "
              f"{apart:.0f} ms of the scheduled mute)")

    replug = [figures_of(adapters_run("replug", 8), "replug and click to \"Stream Mode\"")
              for _ in range(2)]
    if None not in replug:
        worst = max(replug, key=lambda figures: figures["click_to_stream_s"])
        at_most("replug, click on COM1 to \"Stream Mode\" (worst of 2)",
                round(worst["click_to_stream_s"], 2), "s", 5)
        print(f"INFO  where it goes: paced start-up to \"Connected\" {worst['handshake_s']:.2f} s, "
              f"read-out {worst['read_out_s']:.2f} s ({worst['poll_ticks']:.0f} poll ticks of "
              f"0.3 s), stream request waits for the 0.5 s retry timer "
              f"{worst['request_wait_s']:.2f} s, answer {worst['answer_s']:.2f} s", flush=True)


RECORDING_ROUNDS = 5


def recording():
    """What --record and --trace cost: consoles stream at the full line rate
    without them, with --record alone and with both, and are sampled over the
    same windows, so that each round compares them on the same machine; the
    file grows at the recording rate."""
    folder = tempfile.TemporaryDirectory()
    csv = os.path.join(folder.name, "both.csv")
    trace = os.path.join(folder.name, "both.trace")
    runs = {"without": [], "--record": ["--record", os.path.join(folder.name, "alone.csv")],
            "both": ["--record", csv, "--trace", trace]}
    units = {name: Unit("--rate", "48") for name in runs}
    procs = {name: console(units[name].link, *options) for name, options in runs.items()}
    time.sleep(15)
    shares = {name: [] for name in runs}
    start_size, start = os.path.getsize(csv), time.monotonic()
    for n in range(RECORDING_ROUNDS):
        for name, share in zip(runs, cpu_shares([proc.pid for proc in procs.values()],
                                                SAMPLE_SECONDS)):
            shares[name].append(share)
        print(f"      round {n + 1}: " + ", ".join(f"{name} {shares[name][-1]:.2f} %"
                                                    for name in runs), flush=True)
    elapsed = time.monotonic() - start
    bytes_per_hour = (os.path.getsize(csv) - start_size) / elapsed * 3600
    trace_per_hour = os.path.getsize(trace) / (elapsed + 15) * 3600
    for name in runs:
        stop(procs[name])
        units[name].stop()
    folder.cleanup()

    def ratio(name):
        return round(statistics.median(with_it / without if without else float("inf")
                                       for with_it, without in zip(shares[name],
                                                                   shares["without"])), 2)

    at_most(f"console CPU streaming with --record and --trace, to the same without, "
            f"median of {RECORDING_ROUNDS}",
            ratio("both"), "x", 1.1)
    print(f"INFO  with --record alone: {ratio('--record'):.2f} x", flush=True)
    at_most("recording at the full line rate, per hour", round(bytes_per_hour / 1e6, 1), "MB", 15)
    print(f"INFO  trace at the full line rate, about {trace_per_hour / 1e6:.0f} MB an hour",
          flush=True)


def main():
    scenarios = [receive_path, first_frame, paced_timing, timer_floor, silent, idle, streaming, vanish, soaks,
                 adapters, recording]
    chosen = sys.argv[1:]
    for scenario in scenarios:
        if not chosen or scenario.__name__ in chosen:
            scenario()
    failed = results.count(False)
    print(f"{len(results) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

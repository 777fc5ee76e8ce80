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

CONSOLE = "build/default/src/torvane-console"
SIM = "build/default/sim/torvane-unit-sim"
BENCH = "build/bench/bench/torvane-bench"
SOAK = "build/bench/bench/torvane-soak"
TIMER_FLOOR = "build/bench/bench/torvane-timer-floor"
TICKS = os.sysconf("SC_CLK_TCK")
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


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def cpu_share(pid, seconds):
    start_cpu, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100 * (cpu_seconds(pid) - start_cpu) / (time.monotonic() - start)


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


def console_cpu(unit_options, warm_up, seconds=20):
    """The console's CPU share (%) and peak resident memory (MB) against a
    simulated unit, measured after it has had `warm_up` seconds to connect."""
    unit = Unit(*unit_options)
    proc = console(unit.link)
    time.sleep(warm_up)
    share = cpu_share(proc.pid, seconds)
    peak_mb = status_kb(proc.pid, "VmHWM") / 1024
    stop(proc)
    unit.stop()
    return round(share, 2), round(peak_mb, 1)


def streaming():
    # 15 s to connect and read out; the engine then runs its loop.
    share, peak_mb = console_cpu(["--rate", "48"], 15)
    at_most("console CPU while streaming at the full line rate, 20 s", share, "%", 3)
    at_most("peak resident memory while streaming", peak_mb, "MB", 80)


def silent():
    share, _ = console_cpu(["--silent"], 2)
    at_most("console CPU retrying against a silent unit, 20 s", share, "%", 1)


def idle():
    share, _ = console_cpu(["--engine-stopped"], 15)
    at_most("console CPU connected and idle (engine stopped, /p polling), 20 s", share, "%", 1)


def timer_floor():
    """Not a budget: what one shown window with a 10 ms timer and nothing else
    costs here, the floor under every connected figure."""
    proc = subprocess.Popen([TIMER_FLOOR], stderr=subprocess.DEVNULL)
    time.sleep(2)
    share = cpu_share(proc.pid, 20)
    stop(proc)
    print(f"INFO  reference: a bare Qt window with one 10 ms timer, 20 s: {share:.2f} %", flush=True)


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
    unit.proc.wait(timeout=30)
    time.sleep(1)
    share = cpu_share(proc.pid, 10)
    alive = proc.poll() is None
    stop(proc)
    unit.stop()
    report("console still running after the device vanished", int(alive), "", 1, alive)
    at_most("console CPU after the device vanished, 10 s", round(share, 2), "%", 1)


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
    print(f"      (200,000 lines at {figures['lines_per_second']:.0f} lines/s, one at a time)")


def main():
    scenarios = [receive_path, first_frame, paced_timing, timer_floor, silent, idle, streaming, vanish, soaks]
    chosen = sys.argv[1:]
    for scenario in scenarios:
        if not chosen or scenario.__name__ in chosen:
            scenario()
    failed = results.count(False)
    print(f"{len(results) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

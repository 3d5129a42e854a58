#!/usr/bin/python3
"""Turns the measurements of bench/scaling.sh (lines "name n rows bytes
seconds peak_kb") into the Markdown report: one table of every run and the
ratios the targets are stated in. With --plot, prints instead one line per N
with the rows per second of every run, in the order of RUNS, for gnuplot."""

import collections
import datetime
import platform
import sys

PEERS = {"grupos": "ogr2ogr", "proft": "tdbf"}
WHAT = {
    "import": "ludaro-cli import, whole XADE export",
    "export": "ludaro-cli export, SOLUC of N rows",
    "dump": "ludaro-cli dump, largest table",
    "grupos": "groups file into GRUPOST",
    "ogr2ogr": "ogr2ogr, groups CSV into DBF",
    "proft": "teachers file into PROFT + ABREV tag",
    "tdbf": "TDbf, the same PROFT rows + tag",
}


def cpu_model():
    try:
        with open("/proc/cpuinfo") as info:
            for line in info:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown CPU"


def measuring_overhead(path):
    """The seconds taken off every figure: the cost of timing a process."""
    for line in open(path):
        if line.startswith("# overhead "):
            return float(line.split()[2])
    return 0.0


def read_runs(path):
    runs = collections.OrderedDict()
    for line in open(path):
        if line.startswith("#"):
            continue
        name, n, rows, size, seconds, peak = line.split()
        runs[(name, int(n))] = (int(rows), int(size), max(float(seconds), 1e-6), int(peak) / 1024)
    return runs


def plot_data(runs):
    for n in sorted({n for _, n in runs}):
        rates = []
        for name in WHAT:
            rows, _, seconds, _ = runs.get((name, n), (0, 0, 1, 0))
            rates.append("%.1f" % (rows / seconds) if (name, n) in runs else "NaN")
        print(n, " ".join(rates))


def main(path):
    runs = read_runs(path)
    sizes = sorted({n for _, n in runs})

    print("# How Ludaro scales\n")
    print("Produced by `bench/scaling.sh` on %s (%s, %s), %s. Every figure comes from one run, peers "
          "included, on the same generated files (`bench/generate_school.py`). Rows are the lines of the input "
          "file, or the rows of the table for `dump` and the PROFT writers; MB/s is input bytes per second; "
          "peak is the maximum resident set size. Seconds are net of the cost of timing a process "
          "(%.1f ms, the least of five timed runs of /bin/true).\n"
          % (platform.node() or "this machine", cpu_model(), platform.machine(), datetime.date.today(),
             measuring_overhead(path) * 1000))
    print("| N | run | seconds | rows | rows/s | MB/s | peak MB | vs peer |")
    print("|---:|---|---:|---:|---:|---:|---:|---:|")
    for n in sizes:
        for name in WHAT:
            if (name, n) not in runs:
                continue
            rows, size, seconds, peak = runs[(name, n)]
            ratio = ""
            if name in PEERS and (PEERS[name], n) in runs:
                peer_rows, _, peer_seconds, _ = runs[(PEERS[name], n)]
                ratio = "%.1f×" % ((rows / seconds) / (peer_rows / peer_seconds))
            print("| %d | %s | %.3f | %d | %.0f | %.1f | %.0f | %s |"
                  % (n, WHAT[name], seconds, rows, rows / seconds, size / seconds / 1e6, peak, ratio))

    print("\n## Growth\n")
    print("| run | time(10×N) / time(N), per step of N | per-row cost, last step / step before |")
    print("|---|---|---:|")
    for name in ("import", "export", "grupos", "proft"):
        steps = []
        costs = []
        for small, large in zip(sizes, sizes[1:]):
            if (name, small) in runs and (name, large) in runs:
                t_small, t_large = runs[(name, small)][2], runs[(name, large)][2]
                steps.append("%d→%d: %.1f" % (small, large, t_large / t_small))
                costs.append((t_large - t_small) / (large - small))
        drift = "%.2f" % (costs[-1] / costs[-2]) if len(costs) >= 2 and costs[-2] > 0 else ""
        print("| %s | %s | %s |" % (name, ", ".join(steps), drift))
    targets(runs, sizes)


def verdict(ok):
    return "met" if ok else "**not met**"


def targets(runs, sizes):
    """The goals the run is judged by, each with the figures that decide it."""
    print("\n## Targets\n")
    print("| target | figures | |")
    print("|---|---|---|")
    for name, minimum in (("grupos", 6), ("proft", 15)):
        ratios = []
        for n in sizes:
            if (name, n) in runs and (PEERS[name], n) in runs:
                rows, _, seconds, _ = runs[(name, n)]
                peer_rows, _, peer_seconds, _ = runs[(PEERS[name], n)]
                ratios.append((n, (rows / seconds) / (peer_rows / peer_seconds)))
        if ratios:
            print("| %s at least %d× the rows/s of %s | %s | %s |"
                  % (WHAT[name], minimum, PEERS[name], ", ".join("N=%d: %.1f×" % r for r in ratios),
                     verdict(all(ratio >= minimum for _, ratio in ratios))))
    if len(sizes) >= 3:
        top, below, lower = sizes[-1], sizes[-2], sizes[-3]
        for name in ("import", "export"):
            if all((name, n) in runs for n in (top, below, lower)):
                t = {n: runs[(name, n)][2] for n in (top, below, lower)}
                growth = t[top] / t[below]
                drift = ((t[top] - t[below]) / (top - below)) / ((t[below] - t[lower]) / (below - lower))
                print("| %s: time(%d)/time(%d) ≤ 11, per-row cost within ±15%% | %.1f; %.2f | %s |"
                      % (name, top, below, growth, drift, verdict(growth <= 11 and 0.85 <= drift <= 1.15)))
    for name in ("grupos", "proft"):
        peaks = [runs[(name, n)][3] for n in sizes if (name, n) in runs]
        if peaks:
            print("| %s: peak memory under 64 MB at every N | %s MB | %s |"
                  % (WHAT[name], ", ".join("%.0f" % p for p in peaks), verdict(max(peaks) < 64)))
    if ("import", sizes[-1]) in runs:
        peak = runs[("import", sizes[-1])][3]
        print("| whole import of N=%d under 200 MB | %.0f MB | %s |" % (sizes[-1], peak, verdict(peak < 200)))


if __name__ == "__main__":
    if sys.argv[1] == "--plot":
        plot_data(read_runs(sys.argv[2]))
    else:
        main(sys.argv[1])

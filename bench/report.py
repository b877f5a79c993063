#!/usr/bin/env python3
"""Runs the start-up probes, reads the benchmarks' JSON and prints the one table of bench/run."""

import argparse
import json
import os
import statistics
import subprocess
import time

CYCLE_TARGET_MS = 50.0
ACTIVATION_TARGET_MS = 16.0
STARTUP_TIME_FACTOR = 1.5
STARTUP_MEMORY_FACTOR = 1.3

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def medians(path):
    """Median real time in ms of each benchmark, by name."""
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    result = {}
    for run in runs:
        if run.get("error_occurred"):
            raise SystemExit(f"{run['name']}: {run.get('error_message')}")
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        name = run.get("run_name", run["name"]).removesuffix("/real_time")
        result[name] = run["real_time"] * UNIT_MS[run["time_unit"]]
    return result


def start_up(command, runs):
    """Median ms from before the process starts to its first painted frame, and peak KiB."""
    times, memory = [], []
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    for _ in range(runs):
        started = time.monotonic_ns()
        out = subprocess.run(command, env=env, check=True, capture_output=True, text=True).stdout
        fields = dict(item.split("=") for item in out.split())
        times.append((int(fields["frame_ns"]) - started) / 1e6)
        memory.append(int(fields["maxrss_kb"]))
    return statistics.median(times), statistics.median(memory)


class Table:
    def __init__(self):
        self.rows = []
        self.missed = 0

    def against_floor(self, name, value, floor, unit="ms"):
        self.rows.append((name, fmt(value, unit), fmt(floor, unit) + " floor", ratio(value, floor), ""))

    def against_limit(self, name, value, base, factor, label, unit="ms"):
        met = value <= base * factor
        self.missed += not met
        self.rows.append((name, fmt(value, unit), label, ratio(value, base),
                          "met" if met else "MISSED"))

    def share(self, name, value, whole, label):
        self.rows.append((name, fmt(value, "ms"), label, f"{100 * value / whole:.0f}%", ""))

    def print(self):
        header = ("measurement", "value", "floor / target", "ratio", "")
        widths = [max(len(row[i]) for row in self.rows + [header]) for i in range(5)]
        for row in [header] + self.rows:
            print("  ".join(cell.ljust(w) if i == 0 or i == 2 else cell.rjust(w)
                            for i, (cell, w) in enumerate(zip(row, widths))).rstrip())


def fmt(value, unit):
    if unit == "MiB":
        return f"{value / 1024:.1f} MiB"
    return f"{value:.3f} ms" if value < 1 else f"{value:.1f} ms"


def ratio(value, base):
    return f"{value / base:.2f}x"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--state", required=True, help="bench_state JSON")
    parser.add_argument("--editor", required=True, help="bench_editor JSON")
    parser.add_argument("--orvane", required=True, help="start-up probe of the editor")
    parser.add_argument("--floor", required=True, help="start-up probe of the floor")
    parser.add_argument("--file", required=True, help="save state for the editor to open")
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()

    table = Table()
    state = medians(args.state)
    table.against_floor("Load", state["DocumentLoad"], state["FloorRead"])
    table.against_floor("Save (write, 2 fsyncs, rename)", state["DocumentSave"],
                        state["FloorWrite/fsync:1"])
    table.against_floor("Load + Save", state["DocumentLoadSave"], state["FloorReadWrite"])
    flushes = state["FloorFsync"] + state["FloorDirectoryFsync"]
    table.share("  of which fsync of file + directory", flushes, state["DocumentSave"],
                "share of Save")
    table.against_floor("  Save less its fsyncs", state["DocumentSave"] - flushes,
                        state["FloorWrite/fsync:0"])

    editor = medians(args.editor)
    table.against_limit("Editor cycle (open, all pages, save)", editor["EditorCycle"],
                        CYCLE_TARGET_MS, 1, f"{CYCLE_TARGET_MS:.0f} ms target")
    for name, value in editor.items():
        if name.startswith("FirstActivation/"):
            caption = name.split(":", 1)[1]
            table.against_limit(f"First activation: {caption}", value, ACTIVATION_TARGET_MS, 1,
                                f"{ACTIVATION_TARGET_MS:.0f} ms target")

    # The first run of each loads the libraries from disk; every later run finds them cached.
    start_up([args.floor], 1)
    start_up([args.orvane, args.file], 1)
    floor_time, floor_memory = start_up([args.floor], args.runs)
    for label, command in (("", [args.orvane]), (" FILE", [args.orvane, args.file])):
        value, memory = start_up(command, args.runs)
        table.against_limit(f"Start-up to sheet shown: orvane{label}", value, floor_time,
                            STARTUP_TIME_FACTOR,
                            f"{fmt(floor_time, 'ms')} floor, target x{STARTUP_TIME_FACTOR}")
        table.against_limit(f"Peak memory: orvane{label}", memory, floor_memory,
                            STARTUP_MEMORY_FACTOR,
                            f"{fmt(floor_memory, 'MiB')} floor, target x{STARTUP_MEMORY_FACTOR}",
                            "MiB")

    print(f"{os.cpu_count()} cores, load average {os.getloadavg()[0]:.2f}; "
          f"medians; start-up over {args.runs} runs")
    table.print()
    return 1 if table.missed else 0


if __name__ == "__main__":
    raise SystemExit(main())

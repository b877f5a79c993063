#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the start-up probes, reads the benchmarks' JSON and prints the one table of bench/run.

Times are wall-clock medians, the figures the targets are about; beside each, the processor time
of the same run, which shows how much of it was waiting for the other processes of the machine.
"""

import argparse
import json
import os
import statistics
import subprocess
import time

CYCLE_TARGET_MS = 50.0
LOAD_SAVE_FACTOR = 2.0
COMPRESSED_LOAD_SAVE_FACTOR = 1.3
COMPRESSED_MEMORY_FACTOR = 1.2
# bench_formats' states by their argument, and bench_editor's cycle states.
COMPRESSED_STATES = ("snes9x, gzip, 1557631-byte stream", "RetroArch snes9x core, RZIP, 823432",
                     "Mesen2, zlib body of 324245", "bsnes .bsz, RLE image of 290423")
CYCLE_STATES = ("ZSNES demo, 282459 bytes", "snes9x, gzip", "RetroArch, RZIP", "Mesen2",
                "bsnes .bsz")
STATE_SIZES = (274047, 282459)
ACTIVATION_TARGET_MS = 16.0
STARTUP_TIME_FACTOR = 1.5
STARTUP_MEMORY_FACTOR = 1.3

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


class Figure:
    def __init__(self, value, cpu=None):
        self.value = value
        self.cpu = cpu


def medians(path):
    """Each benchmark's median wall and processor time in ms, by name."""
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    result = {}
    for run in runs:
        if run.get("error_occurred"):
            raise SystemExit(f"{run['name']}: {run.get('error_message')}")
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        name = run.get("run_name", run["name"]).removesuffix("/real_time")
        scale = UNIT_MS[run["time_unit"]]
        result[name] = Figure(run["real_time"] * scale, run["cpu_time"] * scale)
    return result


def start_up(commands, runs):
    """For each command, medians of the ms from before its process starts to its first painted
    frame, of its processor ms by then, and of its peak KiB. The commands take turns, so that the
    other load of the machine falls on all of them alike."""
    samples = {name: ([], [], []) for name in commands}
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    for _ in range(runs):
        for name, command in commands.items():
            started = time.monotonic_ns()
            out = subprocess.run(command, env=env, check=True, capture_output=True,
                                 text=True).stdout
            fields = dict(item.split("=") for item in out.split())
            times, cpu, memory = samples[name]
            times.append((int(fields["frame_ns"]) - started) / 1e6)
            cpu.append(int(fields["cpu_us"]) / 1e3)
            memory.append(int(fields["maxrss_kb"]))
    median = statistics.median
    return {name: (Figure(median(times), median(cpu)), Figure(median(memory)))
            for name, (times, cpu, memory) in samples.items()}


def fmt(value, unit="ms"):
    if value is None:
        return ""
    if unit == "MiB":
        return f"{value / 1024:.1f} MiB"
    return f"{value:.3f} ms" if value < 1 else f"{value:.1f} ms"


class Table:
    HEADER = ("measurement", "wall", "cpu", "floor / target", "ratio", "")

    def __init__(self):
        self.rows = []
        self.missed = 0

    def add(self, name, figure, unit, label, ratio, verdict=""):
        self.rows.append((name, fmt(figure.value, unit), fmt(figure.cpu), label, ratio, verdict))

    def against_floor(self, name, figure, floor):
        ratio = f"{figure.value / floor.value:.2f}x"
        self.add(name, figure, "ms", fmt(floor.value) + " floor", ratio)

    def against_limit(self, name, figure, base, factor, label, unit="ms"):
        met = figure.value <= base * factor
        self.missed += not met
        ratio = f"{figure.value / base:.2f}x"
        self.add(name, figure, unit, label, ratio, "met" if met else "MISSED")

    def share(self, name, figure, whole, label):
        self.add(name, figure, "ms", label, f"{100 * figure.value / whole.value:.0f}%")

    def print(self):
        rows = [self.HEADER] + self.rows
        widths = [max(len(row[i]) for row in rows) for i in range(len(self.HEADER))]
        left = {0, 3}
        for row in rows:
            cells = (c.ljust(w) if i in left else c.rjust(w)
                     for i, (c, w) in enumerate(zip(row, widths)))
            print("  ".join(cells).rstrip())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--state", required=True, help="bench_state JSON")
    parser.add_argument("--formats", required=True, help="bench_formats JSON")
    parser.add_argument("--editor", required=True, help="bench_editor JSON")
    parser.add_argument("--orvane", required=True, help="start-up probe of the editor")
    parser.add_argument("--floor", required=True, help="start-up probe of the floor")
    parser.add_argument("--file", required=True, help="save state for the editor to open")
    parser.add_argument("--compressed", nargs=2, required=True,
                        help="the demo state as snes9x's and as RetroArch's compressed state")
    parser.add_argument("--runs", type=int, default=21)
    args = parser.parse_args()
    load = os.getloadavg()[0]

    table = Table()
    all_state = medians(args.state)
    for size in STATE_SIZES:
        state = {name.removesuffix(f"/bytes:{size}").replace(f"/bytes:{size}/", "/"): figure
                 for name, figure in all_state.items() if f"/bytes:{size}" in name}
        table.add(f"State of {size} bytes", Figure(None), "ms", "", "")
        table.against_floor("  Load", state["DocumentLoad"], state["FloorRead"])
        table.against_floor("  Save (write, fsync, rename, fsync dir)", state["DocumentSave"],
                            state["FloorWrite/fsync:1"])
        table.against_limit("  Load + Save", state["DocumentLoadSave"],
                            state["FloorReadWrite"].value, LOAD_SAVE_FACTOR,
                            f"{fmt(state['FloorReadWrite'].value)} floor, "
                            f"target x{LOAD_SAVE_FACTOR:.0f}")
        flushes = Figure(state["FloorFsync"].value + state["FloorDirectoryFsync"].value,
                         state["FloorFsync"].cpu + state["FloorDirectoryFsync"].cpu)
        table.share("    Save's two fsyncs (file, directory)", flushes, state["DocumentSave"],
                    "share of Save")
        table.against_floor("    Save less its fsyncs",
                            Figure(state["DocumentSave"].value - flushes.value),
                            state["FloorWrite/fsync:0"])

    formats = medians(args.formats)
    for index, caption in enumerate(COMPRESSED_STATES):
        floor = formats[f"FloorZlib/state:{index}"]
        table.against_limit(f"Load, edit, Save: {caption}",
                            formats[f"DocumentLoadEditSave/state:{index}"], floor.value,
                            COMPRESSED_LOAD_SAVE_FACTOR,
                            f"{fmt(floor.value)} zlib floor, target x{COMPRESSED_LOAD_SAVE_FACTOR}")

    editor = medians(args.editor)
    for index, caption in enumerate(CYCLE_STATES):
        table.against_limit(f"Editor cycle (open, all pages, save; {caption})",
                            editor[f"EditorCycle/state:{index}"], CYCLE_TARGET_MS, 1,
                            f"{CYCLE_TARGET_MS:.0f} ms target")
    # Not a target: the work after the first frame that nobody waits for unless a click lands
    # in it; each page is one step of it.
    table.add("Start-up and idle build of all pages", editor["IdleBuild"], "ms", "", "")
    for name, figure in editor.items():
        if name.startswith("FirstActivation/"):
            caption = name.split(":", 1)[1]
            table.against_limit(f"First activation: {caption}", figure, ACTIVATION_TARGET_MS, 1,
                                f"{ACTIVATION_TARGET_MS:.0f} ms target")

    commands = {
        "floor": [args.floor],
        "orvane": [args.orvane],
        "orvane FILE": [args.orvane, args.file],
        "orvane snes9x FILE": [args.orvane, args.compressed[0]],
        "orvane RetroArch FILE": [args.orvane, args.compressed[1]],
    }
    # The first run of each loads the libraries from disk; every later run finds them cached.
    start_up(commands, 1)
    figures = start_up(commands, args.runs)
    floor_time, floor_memory = figures.pop("floor")
    zsnes_memory = figures["orvane FILE"][1]
    compressed = {name: figures.pop(name) for name in list(figures) if name.endswith(" FILE")
                  and name != "orvane FILE"}
    table.add("Start-up floor: bare window, 12 tabs", floor_time, "ms", "", "")
    # Memory: the ZSNES runs beside the bare window; the compressed ones beside the ZSNES state.
    limits = [(figures, floor_memory, STARTUP_MEMORY_FACTOR, "floor"),
              (compressed, zsnes_memory, COMPRESSED_MEMORY_FACTOR, "on ZSNES")]
    for runs, base, factor, label in limits:
        for name, (shown, memory) in runs.items():
            table.against_limit(f"Start-up to sheet shown: {name}", shown, floor_time.value,
                                STARTUP_TIME_FACTOR,
                                f"{fmt(floor_time.value)} floor, target x{STARTUP_TIME_FACTOR}")
            table.against_limit(f"Peak memory: {name}", memory, base.value, factor,
                                f"{fmt(base.value, 'MiB')} {label}, target x{factor}", "MiB")

    print(f"{os.cpu_count()} cores, load average {load:.2f} after the benchmarks; medians of 3 "
          f"repetitions, start-up of {args.runs} runs")
    table.print()
    return 1 if table.missed else 0


if __name__ == "__main__":
    raise SystemExit(main())

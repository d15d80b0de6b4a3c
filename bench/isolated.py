#!/usr/bin/env python3
"""Runs each bench_solver benchmark that matches a filter in a process of its own, and prints,
per operation and problem, the fill-reducing mode against the better of Eigen AMD and CHOLMOD.

In one process a benchmark's time depends on what ran before it: the allocator's thresholds move
with earlier allocations, and the fixtures of earlier problems stay alive. Here every benchmark
starts in a fresh process (its problem generated anew, untimed).

  bench/isolated.py build/bench/bench/bench_solver '^(Factor|Solve)/(fill|eigen-amd|cholmod)/relsketch/'
  options: --repetitions N (default 3; the median is used), --cpu C (pin to core C with taskset)

With --repetitions 1 a benchmark of one iteration (the sizes of 10^6) times the first call in a
fresh process: every page either side touches is touched for the first time.
"""
import argparse
import json
import shutil
import subprocess
import tempfile


def run(binary, name, repetitions, cpu):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        command = [binary, f"--benchmark_filter=^{name}$", f"--benchmark_repetitions={repetitions}",
                   "--benchmark_report_aggregates_only=true", f"--benchmark_out={out.name}",
                   "--benchmark_out_format=json"]
        if cpu is not None and shutil.which("taskset"):
            command = ["taskset", "-c", str(cpu)] + command
        subprocess.run(command, check=True, capture_output=True)
        report = json.load(out)
    for entry in report["benchmarks"]:
        if entry.get("aggregate_name") == "median" or (repetitions == 1 and entry["run_type"] == "iteration"):
            return entry["cpu_time"], entry["time_unit"]
    raise RuntimeError(f"no median for {name}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("binary")
    parser.add_argument("filter")
    parser.add_argument("--repetitions", type=int, default=3)
    parser.add_argument("--cpu", type=int)
    args = parser.parse_args()
    listing = subprocess.run([args.binary, "--benchmark_list_tests", f"--benchmark_filter={args.filter}"],
                             check=True, capture_output=True, text=True).stdout
    listed = listing.split("\n\n")[0].split()  # the names; the program's summary follows a blank line
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    times = {}  # (operation, side, problem) -> milliseconds
    problems = []  # (operation, problem) in the order listed
    for name in listed:
        op, side, problem = name.split("/", 2)
        problem = problem.split("/iterations:")[0]
        value, unit = run(args.binary, name, args.repetitions, args.cpu)
        times[(op, side, problem)] = value * scale[unit]
        if (op, problem) not in problems:
            problems.append((op, problem))
    print(f"{'op':<9} {'problem':<22} {'fill':>10} {'eigen-amd':>10} {'cholmod':>10} {'ratio':>6}")
    for op, problem in problems:
        fill, amd, cholmod = (times.get((op, side, problem)) for side in ("fill", "eigen-amd", "cholmod"))
        peers = [t for t in (amd, cholmod) if t is not None]
        ratio = f"{fill / min(peers):.2f}" if fill is not None and peers else "-"
        cells = [f"{t:.3f}" if t is not None else "-" for t in (fill, amd, cholmod)]
        print(f"{op:<9} {problem:<22} {cells[0]:>10} {cells[1]:>10} {cells[2]:>10} {ratio:>6}")
    print("times in ms (median CPU time); ratio = fill / the better peer")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Measures tarnvelk on piped batches and prints the results as Markdown.

Builds the "bench" preset, writes batches of random cases, and times the
program against two references run in the same loop: the plain C stdio
dialogue in baseline.c, and cat moving as many bytes as the program writes
(the I/O floor).  The commands alternate and each ratio is taken run by
run, so a drift in the machine's speed cancels out.  Every process of a
timed run is pinned to one CPU.

usage: python3 bench/run.py [--runs N] [--quick]
"""

import argparse
import hashlib
import os
import random
import re
import shlex
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "bench")
PROGRAM = os.path.join(BUILD, "tarnvelk")
BASELINE = os.path.join(BUILD, "bench", "baseline")
DO_NOTHING = os.path.join(BUILD, "bench", "do_nothing")
MICRO = os.path.join(BUILD, "bench", "micro")
SPAWN_TIMES = os.path.join(BUILD, "bench", "spawn_times")
CASES = os.path.join(BUILD, "cases")
PIN = ["taskset", "-c", "1"]


def build():
    for step in (["cmake", "--preset", "bench"], ["cmake", "--build", "--preset", "bench"]):
        subprocess.run(step, cwd=ROOT, check=True, stdout=subprocess.DEVNULL)


def write_cases(direction, count):
    """Random frequencies 1-2000 Hz and quantities 0.01-50, every answer
    1 but the last."""
    path = os.path.join(CASES, f"dir{direction}_{count}.in")
    if os.path.exists(path):
        return path
    rng = random.Random(count * 10 + direction)
    lines = [f"{direction}\n"]
    for i in range(count):
        lines.append("%.6g\n%.6g\n%d\n" % (
            rng.uniform(1, 2000), rng.uniform(0.01, 50), 1 if i < count - 1 else 2))
    with open(path + ".tmp", "w") as f:
        f.writelines(lines)
    os.rename(path + ".tmp", path)
    return path


def output_of(command, cases):
    with open(cases, "rb") as f:
        return subprocess.run(command, stdin=f, capture_output=True).stdout


def spawn_pairs(runs, cases, program_a, program_b):
    """Wall time (s) and peak RSS (KiB) of each run of a and b, alternating."""
    lines = subprocess.run(PIN + [SPAWN_TIMES, str(runs), cases, program_a, program_b],
                           capture_output=True, text=True, check=True).stdout.split("\n")
    rows = [tuple(int(x) for x in line.split()) for line in lines if line]
    return [(a / 1e9, b / 1e9, a_rss, b_rss) for a, b, a_rss, b_rss in rows]


def peak_rss_kib(cases):
    return max(row[2] for row in spawn_pairs(1, cases, PROGRAM, BASELINE))


def timed(shell_command):
    start = time.perf_counter()
    subprocess.run(PIN + ["sh", "-c", shell_command], check=False)
    return time.perf_counter() - start


def sink_command(command, cases, sink):
    feed = f"{command} < {shlex.quote(cases)}"
    return f"{feed} > /dev/null" if sink == "/dev/null" else f"{feed} | cat > /dev/null"


def throughput(direction, count, sink, runs):
    cases = write_cases(direction, count)
    ours = output_of([PROGRAM], cases)
    if output_of([BASELINE], cases) != ours:
        sys.exit(f"baseline output differs from the program's on {cases}")
    floor_file = cases + ".out"
    if not os.path.exists(floor_file):
        with open(floor_file, "wb") as f:
            f.write(ours)
    commands = {
        "program": sink_command(shlex.quote(PROGRAM), cases, sink),
        "baseline": sink_command(shlex.quote(BASELINE), cases, sink),
        "floor": sink_command("cat", floor_file, sink).replace(" < ", " "),
    }
    times = {name: [] for name in commands}
    for _ in range(runs):
        for name, command in commands.items():
            times[name].append(timed(command))
    median = {name: statistics.median(t) for name, t in times.items()}
    return {
        "cases": count,
        "direction": direction,
        "sink": "pipe" if sink == "pipe" else "/dev/null",
        "program_s": median["program"],
        "cases_per_s": count / median["program"],
        "baseline_s": median["baseline"],
        "floor_s": median["floor"],
        "vs_baseline": statistics.median(
            p / b for p, b in zip(times["program"], times["baseline"])),
        "vs_floor": statistics.median(
            p / f for p, f in zip(times["program"], times["floor"])),
        "rss_kib": peak_rss_kib(cases),
        "output_sha1": hashlib.sha1(ours).hexdigest()[:12],
    }


def instructions(command, cases):
    with open(cases, "rb") as f:
        run = subprocess.run(
            ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + command,
            stdin=f, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(re.search(r"Collected : (\d+)", run.stderr).group(1))


def instructions_per_case(command, direction):
    many = instructions(command, write_cases(direction, 100000))
    one = instructions(command, write_cases(direction, 1))
    return (many - one) / (100000 - 1)


def startup(runs):
    pairs = spawn_pairs(runs, write_cases(1, 1), PROGRAM, DO_NOTHING)
    return (statistics.median(a for a, _, _, _ in pairs),
            statistics.median(b for _, b, _, _ in pairs),
            statistics.median(a / b for a, b, _, _ in pairs))


def syscalls(direction, count):
    cases = write_cases(direction, count)
    log = os.path.join(CASES, "strace.log")
    with open(cases, "rb") as f:
        subprocess.run(["strace", "-c", "-f", "-o", log, PROGRAM],
                       stdin=f, stdout=subprocess.DEVNULL)
    counts = {}
    with open(log) as f:
        for line in f:
            fields = line.split()
            if len(fields) >= 5 and fields[-1] in ("read", "write"):
                counts[fields[-1]] = int(fields[3])
    out_bytes = os.path.getsize(cases + ".out") if os.path.exists(cases + ".out") else 0
    return counts, os.path.getsize(cases), out_bytes


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=7, help="timed runs of each command")
    parser.add_argument("--quick", action="store_true", help="fewer runs and no 10^6 batch")
    args = parser.parse_args()
    runs = 3 if args.quick else args.runs
    counts = (1000, 100000) if args.quick else (1000, 100000, 1000000)

    build()
    os.makedirs(CASES, exist_ok=True)
    cpu = subprocess.run(["sh", "-c", "grep -m1 'model name' /proc/cpuinfo | cut -d: -f2"],
                         capture_output=True, text=True).stdout.strip()
    print(f"Machine: {cpu}, {os.cpu_count()} CPUs; timed runs pinned to CPU 1, "
          f"median of {runs} runs.\n")

    print("| cases | dir | output | program s | cases/s | baseline s | floor s "
          "| program/baseline | program/floor | peak RSS |")
    print("|---:|---:|---|---:|---:|---:|---:|---:|---:|---:|")
    for count in counts:
        for direction in (1, 2):
            for sink in ("/dev/null", "pipe"):
                r = throughput(direction, count, sink, runs)
                print(f"| {count} | {direction} | {r['sink']} | {r['program_s']:.4f} "
                      f"| {r['cases_per_s']:.3g} | {r['baseline_s']:.4f} | {r['floor_s']:.4f} "
                      f"| {r['vs_baseline']:.3f} | {r['vs_floor']:.2f} "
                      f"| {r['rss_kib'] / 1024:.2f} MiB |", flush=True)

    print("\n| instructions per case (callgrind, 10^5 cases less 1) | dir 1 | dir 2 |")
    print("|---|---:|---:|")
    for name, command in (("program", [PROGRAM]), ("baseline", [BASELINE])):
        print(f"| {name} | {instructions_per_case(command, 1):.0f} "
              f"| {instructions_per_case(command, 2):.0f} |", flush=True)

    ours, nothing, ratio = startup(1000)
    print("\n| start-up, 1 case | program | do-nothing C | ratio |")
    print("|---|---:|---:|---:|")
    print(f"| median wall time | {ours * 1e3:.3f} ms | {nothing * 1e3:.3f} ms | {ratio:.2f} |")

    largest = counts[-1]
    calls, in_bytes, out_bytes = syscalls(1, largest)
    print(f"\n| system calls, {largest} cases | count | bytes / 64 KiB |")
    print("|---|---:|---:|")
    print(f"| read | {calls.get('read', 0)} | {in_bytes / 65536:.0f} |")
    print(f"| write | {calls.get('write', 0)} | {out_bytes / 65536:.0f} |")

    print("\nMicro-benchmarks (Google Benchmark):\n")
    micro = subprocess.run([MICRO, "--benchmark_min_time=0.2"], capture_output=True, text=True)
    print("```")
    print("\n".join(line for line in micro.stdout.splitlines() if line.strip()))
    print("```")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Peak memory of the converter on tables far larger than any boring has.

Each case is one boring (or one exchange file) of a single oversized table, run once through
the CLI under /usr/bin/time -v; the script prints the peak resident memory, the wall time and
what was written, and fails when a peak is above --limit-mb (100 MB: memory grows at most a
small constant times the largest table, and these tables are 8 MB):

  X1.TXT of commas   an 8 MB layer table of nothing but commas: 2 million layers of depth 0,
                     every one a warning the run finds
  PCNT.txt of commas an 8 MB measurement list of commas: 4 million pairs, none usable
  --picture          a 256 MB text file that is no exchange file, refused at line 1
  --picture          the exchange file of the X1.TXT case (113 MB, 2 million layers): a
                     picture holds the log it draws, so its bound is 5 times the file

The figures go into the README's performance section. Build the CLI without sanitizers:
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZK_BENCH=ON \\
        -DZK_BUILD_TESTS=OFF -DZK_BUILD_WINDOW=OFF && cmake --build build-bench
  python3 bench/memory.py
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# The sample boring's title tables: the point 35°39'29.1" N, 139°45'45.5" E (53393681).
SAMPLE = os.path.join(HERE, "..", "sample", "B001")
CODES = os.path.join(HERE, "..", "sample", "codes")


def write_commas(path, megabytes):
    with open(path, "wb") as f:
        f.write(b"," * (megabytes << 20))


def boring(work, name, table, megabytes):
    folder = os.path.join(work, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for title in ("titl01.txt", "titl02.txt", "titl04.txt"):
        shutil.copy(os.path.join(SAMPLE, title), folder)
    write_commas(os.path.join(folder, table), megabytes)
    return folder


def run(command, env):
    done = subprocess.run(["/usr/bin/time", "-v"] + command, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True, errors="replace")
    peak = re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr)
    wall = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): ([\d:.]+)", done.stderr)
    seconds = 0.0
    if wall:
        for part in wall.group(1).split(":"):
            seconds = seconds * 60 + float(part)
    return done.returncode, int(peak.group(1)) / 1024 if peak else 0.0, seconds


def folder_bytes(folder):
    return sum(os.path.getsize(os.path.join(folder, e)) for e in os.listdir(folder))


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--cli", default=os.path.join(HERE, "..", "build-bench", "bin", "zk2morvex-cli"))
    p.add_argument("--work", default="/tmp/zk-bench-memory")
    p.add_argument("--table-mb", type=int, default=8)
    p.add_argument("--picture-mb", type=int, default=256)
    p.add_argument("--limit-mb", type=float, default=100)
    args = p.parse_args()

    cli = os.path.abspath(args.cli)
    if not os.access(cli, os.X_OK):
        sys.exit(f"no CLI at {cli}: build it first (see --help)")
    if not os.access("/usr/bin/time", os.X_OK):
        sys.exit("/usr/bin/time is missing: apt-get install time")
    os.makedirs(args.work, exist_ok=True)
    sysdir = os.path.join(args.work, "sys")
    os.makedirs(sysdir, exist_ok=True)
    with open(os.path.join(sysdir, "RaroreD5.ini"), "w", newline="") as f:
        f.write("[VUREDA]\r\n" + os.path.abspath(CODES) + "/\r\n")
    env = dict(os.environ, ZK_SYSDIR=sysdir)
    out = os.path.join(args.work, "out")

    over = []

    def report(label, code, peak, seconds, written, limit=args.limit_mb):
        print(f"{label:40s} peak RSS {peak:7.1f} MB   wall {seconds:6.1f} s   exit {code}   "
              f"{written / 1e6:7.1f} MB written")
        if peak > limit:
            over.append(f"{label} ({peak:.0f} MB, bound {limit:.0f} MB)")

    pictures = os.path.join(args.work, "pictures")
    for table in ("X1.TXT", "PCNT.txt"):
        source = boring(args.work, "B-" + table.split(".")[0], table, args.table_mb)
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        code, peak, seconds = run([cli, "--yes", "--dest", out, source], env)
        report(f"{table} of commas, {args.table_mb} MB", code, peak, seconds, folder_bytes(out))
        if table == "X1.TXT":
            exchange = os.path.join(out, sorted(os.listdir(out))[0])
            shutil.rmtree(pictures, ignore_errors=True)
            os.makedirs(pictures)
            size = os.path.getsize(exchange) / (1 << 20)
            code, peak, seconds = run([cli, "--picture", pictures, exchange], env)
            report(f"--picture of its {size:.0f} MB exchange file", code, peak, seconds, folder_bytes(pictures),
                   limit=5 * size)

    # Text lines, not one of them a record: refused at the first.
    bogus = os.path.join(args.work, "bogus.001")
    if not os.path.exists(bogus) or os.path.getsize(bogus) != args.picture_mb << 20:
        line = b"this is no exchange file, just lines of text " * 2 + b"\r\n"
        with open(bogus, "wb") as f:
            for _ in range((args.picture_mb << 20) // len(line)):
                f.write(line)
            f.write(b"x" * ((args.picture_mb << 20) % len(line)))
    shutil.rmtree(pictures, ignore_errors=True)
    os.makedirs(pictures)
    code, peak, seconds = run([cli, "--picture", pictures, bogus], env)
    report(f"--picture of {args.picture_mb} MB of text", code, peak, seconds, folder_bytes(pictures))

    if over:
        sys.exit(f"peak memory above {args.limit_mb} MB: {', '.join(over)}")


if __name__ == "__main__":
    main()

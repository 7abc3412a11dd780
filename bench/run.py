#!/usr/bin/env python3
"""Whole-process timing of the converter against a read-and-decode baseline.

On the same generated files, in one run, it times
  (a)  zk2morvex-cli --yes on the large boring ("large", with "L204.txt"),
  (a') the same on the large boring with measurement pairs ("large-pcnt"),
  (b)  the CLI on the whole batch of typical borings in one call,
and for each the baseline (c): every input file read as many times as the conversion opens it
(READS below), decoded from CP932 (cat ... | iconv -f CP932 -t UTF-8 > /dev/null), plus writing
outputs of the converter's sizes (the exchange files and each boring's "BORLING.NO"). It prints
medians over --runs runs, the ratio converter / baseline, and the peak resident memory of the
converter (/usr/bin/time -v), also for the first tenth of the batch, so that memory growing with
the number of borings shows. For comparison it also times the baseline with each output then
made durable (fsync), as the converter makes its files before they take their names.

Each timed run waits 2 s after the cleaning that comes before it (--no-settle: at once), since
a user's borings were written long before they are converted.

--scaling also generates the large borings at twice the rows and prints the time ratio.

Build the CLI for it without sanitizers:
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZK_BENCH=ON \
        -DZK_BUILD_TESTS=OFF -DZK_BUILD_WINDOW=OFF && cmake --build build-bench
  python3 bench/run.py
"""

import argparse
import glob
import os
import re
import resource
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# How many times one conversion opens and reads each table (counted from the reading code and
# checked with strace). The first open of a table in a process also reads it through the CP932
# check before its fields; that pass is not counted, nor is the reading of the warnings pass
# after the conversion. The table-code read of "L209.txt" and "L204.txt" takes only the first
# row (one 64 KiB buffer) but is counted as a whole read.
READS = {
    "titl01.txt": 1,  # title tables, once
    "titl02.txt": 1,
    "titl04.txt": 1,
    "X1.TXT": 3,      # deepest layer for the header, then the layer merge: count, write
    "X3.TXT": 2,      # the layer merge: count, write
    "X5.TXT": 1,      # the test block, rows held in memory
    "X6.TXT": 1,      # test kinds
    "X7.TXT": 1,      # table presence
    "X100.txt": 2,    # count, then write
    "X100A.txt": 1,   # beside the writing pass
    "L209.txt": 3,    # count, table code, write
    "L204.txt": 3,    # count, table code, write
    "L201.txt": 4,    # count and write for "G", again for "H"
}
# Only when "L204.txt" is absent: the list and each pair it names.
READS_WITHOUT_L204 = {
    "PCNT.txt": 2,    # the first head file's name for the flags, then the list
    ".HED": 1,        # the leading fields of each pair
    ".TMP": 1,
}
# Per conversion: the test-kind code table "L9.txt", with "X6.TXT".
READS_CODES = {"L9.txt": 1}
# Once per CLI call.
READS_PER_CALL = {"RaroreD5.ini": 1}
# Once per CLI call too while it stays unchanged: the soil-name table, kept once loaded.
READS_CODES_PER_CALL = {"Kishitu.txt": 1}


def find(folder, name):
    """The file of folder named like name, without regard to letter case, or None."""
    wanted = name.lower()
    for entry in os.listdir(folder):
        if entry.lower() == wanted and os.path.isfile(os.path.join(folder, entry)):
            return os.path.join(folder, entry)
    return None


def present(path):
    return path is not None and os.path.getsize(path) > 0


def reads_of_boring(folder, codes):
    """The files one conversion of folder reads, each as often as it is read."""
    files = []
    for name, times in READS.items():
        path = find(folder, name)
        if present(path):
            files += [path] * times
    if find(folder, "L204.txt") is None and present(find(folder, "PCNT.txt")):
        files += [find(folder, "PCNT.txt")] * READS_WITHOUT_L204["PCNT.txt"]
        for entry in sorted(os.listdir(folder)):
            ext = os.path.splitext(entry)[1].upper()
            if ext in (".HED", ".TMP"):
                files += [os.path.join(folder, entry)] * READS_WITHOUT_L204[ext]
    if present(find(folder, "X6.TXT")):
        files += [os.path.join(codes, "L9.txt")] * READS_CODES["L9.txt"]
    return files


# A user's borings were written long before they are converted. The converter keeps what it
# learnt of a table or a folder only once it is 2 s unchanged (a file system's clock may be that
# coarse), and the cleaning before each run has just changed every boring folder, so the timed
# runs wait that long; --no-settle times them at once. The baseline's outputs are removed and
# waited for alike, outside its timing.
SETTLE_SECONDS = 2.1


def clean(sources, dest):
    if os.path.isdir(dest):
        shutil.rmtree(dest)
    os.makedirs(dest)
    for s in sources:
        record = find(s, "BORLING.NO")
        if record:
            os.remove(record)


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed(command, **kwargs):
    """Wall time and CPU time (user + system, the process and all it waited for) of a command."""
    cpu, start = children_cpu(), time.perf_counter()
    done = subprocess.run(command, **kwargs)
    return done, time.perf_counter() - start, children_cpu() - cpu


def run_cli(cli, sources, dest, env, settle):
    clean(sources, dest)
    if settle:
        time.sleep(SETTLE_SECONDS)
    command = ["/usr/bin/time", "-v", cli, "--yes", "--dest", dest] + sources
    done, wall, cpu = timed(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    rss = re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr)
    if done.returncode != 0:
        sys.exit(f"{cli} failed ({done.returncode}):\n{done.stderr[-2000:]}")
    return wall, cpu, int(rss.group(1)) if rss else 0


def baseline_script(work, sources, dest, codes, sysdir):
    """A shell script reading and decoding what the conversion reads, and writing what it wrote."""
    files = [os.path.join(sysdir, "RaroreD5.ini")] * READS_PER_CALL["RaroreD5.ini"]
    files += [os.path.join(codes, "Kishitu.txt")] * READS_CODES_PER_CALL["Kishitu.txt"]
    for s in sources:
        files += reads_of_boring(s, codes)
    read_list = os.path.join(work, "reads.lst")
    with open(read_list, "wb") as f:
        f.write(b"\0".join(p.encode() for p in files) + b"\0")
    out = os.path.join(work, "baseline-out")
    write_list = os.path.join(work, "writes.lst")
    with open(write_list, "w") as f:
        for entry in sorted(os.listdir(dest)):
            f.write(f"{os.path.getsize(os.path.join(dest, entry))} {entry}\n")
        for i, s in enumerate(sources):  # the conversion record each boring gets
            record = find(s, "BORLING.NO")
            if record:
                f.write(f"{os.path.getsize(record)} {i}.BORLING.NO\n")
    body = f"""set -e
xargs -0 cat < '{read_list}' | iconv -f CP932 -t UTF-8 > /dev/null
while read -r size name; do printf '%*s' "$size" '' > '{out}'/"$name"; done < '{write_list}'
"""
    script = os.path.join(work, "baseline.sh")
    with open(script, "w") as f:
        f.write(body)
    # The same, each output then made durable (fsync), as the converter makes its files before
    # they take their names: for comparison only, the targets are against the plain baseline.
    durable = os.path.join(work, "baseline-durable.sh")
    with open(durable, "w") as f:
        f.write(body + f"find '{out}' -type f -print0 | xargs -0 -r sync\n")
    total = sum(os.path.getsize(p) for p in files)
    return script, durable, out, len(files), total


def run_baseline(script, out, settle):
    """Its outputs removed first, and the wait after it, as for the converter."""
    if os.path.isdir(out):
        shutil.rmtree(out)
    os.makedirs(out)
    if settle:
        time.sleep(SETTLE_SECONDS)
    done, wall, cpu = timed(["bash", script])
    if done.returncode != 0:
        sys.exit(f"the baseline {script} failed")
    return wall, cpu


def output_bytes(dest):
    return sum(os.path.getsize(os.path.join(dest, e)) for e in os.listdir(dest))


def measure(label, cli, sources, data, env, runs, work, settle):
    dest = os.path.join(work, "out-" + label)
    codes = os.path.join(data, "codes")
    run_cli(cli, sources, dest, env, False)  # warm the cache; its outputs size the baseline's writes
    script, durable, out, opens, read_bytes = baseline_script(work, sources, dest, codes, os.path.join(data, "sys"))
    written = output_bytes(dest)
    conv, conv_cpu, rss, base, base_cpu, base_durable = [], [], [], [], [], []
    for _ in range(runs):
        wall, cpu, peak = run_cli(cli, sources, dest, env, settle)
        conv.append(wall)
        conv_cpu.append(cpu)
        rss.append(peak)
        wall, cpu = run_baseline(script, out, settle)
        base.append(wall)
        base_cpu.append(cpu)
        base_durable.append(run_baseline(durable, out, settle)[0])
    c, b, d = statistics.median(conv), statistics.median(base), statistics.median(base_durable)
    cc, bc = statistics.median(conv_cpu), statistics.median(base_cpu)
    print(f"{label:14s} wall {c * 1000:8.1f} ms / {b * 1000:8.1f} ms = {c / b:5.2f}   "
          f"cpu {cc * 1000:8.1f} ms / {bc * 1000:8.1f} ms = {cc / max(bc, 1e-9):5.2f}   "
          f"durable {d * 1000:8.1f} ms, {c / d:5.2f}   "
          f"peak RSS {max(rss) / 1024:5.1f} MB   ({len(sources)} borings, {opens} reads, "
          f"{read_bytes / 1e6:.1f} MB read, {written / 1e6:.2f} MB written)")
    return c, max(rss)


def generate(data, factor, batch, seed):
    subprocess.run([sys.executable, os.path.join(HERE, "make_borings.py"), "--out", data, "--factor", str(factor),
                    "--batch", str(batch), "--seed", str(seed)], check=True)


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--cli", default=os.path.join(HERE, "..", "build-bench", "bin", "zk2morvex-cli"))
    p.add_argument("--data", default="/tmp/zk-bench-data", help="generated borings (made when missing)")
    p.add_argument("--work", default="/tmp/zk-bench-work", help="outputs of the timed runs")
    p.add_argument("--regenerate", action="store_true")
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--batch", type=int, default=1000)
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--scaling", action="store_true", help="also time the large borings at twice the rows")
    p.add_argument("--no-settle", dest="settle", action="store_false",
                   help="time each run right after cleaning, with every boring folder just changed")
    args = p.parse_args()

    cli = os.path.abspath(args.cli)
    if not os.access(cli, os.X_OK):
        sys.exit(f"no CLI at {cli}: build it first (see --help)")
    if not os.access("/usr/bin/time", os.X_OK):
        sys.exit("/usr/bin/time is missing: apt-get install time")
    if args.regenerate or not os.path.isdir(args.data):
        generate(args.data, 1, args.batch, args.seed)
    os.makedirs(args.work, exist_ok=True)
    env = dict(os.environ, ZK_SYSDIR=os.path.join(args.data, "sys"))

    print(f"median of {args.runs} runs, converter / baseline (cat | iconv of every read, the same bytes written); "
          f"durable: the baseline with each output then fsync'ed, and converter / that")
    timing = (args.runs, args.work, args.settle)
    large, _ = measure("large", cli, [os.path.join(args.data, "large")], args.data, env, *timing)
    pcnt, _ = measure("large-pcnt", cli, [os.path.join(args.data, "large-pcnt")], args.data, env, *timing)
    batch = sorted(glob.glob(os.path.join(args.data, "batch", "B*")))
    if batch:
        tenth = batch[:max(1, len(batch) // 10)]
        _, rss_tenth = measure(f"batch/{len(tenth)}", cli, tenth, args.data, env, *timing)
        _, rss_all = measure(f"batch/{len(batch)}", cli, batch, args.data, env, *timing)
        print(f"peak RSS batch/{len(batch)} : batch/{len(tenth)} = {rss_all / max(rss_tenth, 1):.2f}")

    if args.scaling:
        doubled = args.data + "-x2"
        if args.regenerate or not os.path.isdir(doubled):
            generate(doubled, 2, 0, args.seed)
        env2 = dict(os.environ, ZK_SYSDIR=os.path.join(doubled, "sys"))
        large2, _ = measure("large x2", cli, [os.path.join(doubled, "large")], doubled, env2, *timing)
        pcnt2, _ = measure("large-pcnt x2", cli, [os.path.join(doubled, "large-pcnt")], doubled, env2, *timing)
        print(f"time x2 / x1: large {large2 / large:.2f}, large-pcnt {pcnt2 / pcnt:.2f} (at most 2 wanted)")


if __name__ == "__main__":
    main()

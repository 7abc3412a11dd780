#!/usr/bin/env python3
"""Whole-process timing of the converter against a read-and-decode baseline.

On the same generated files, in one run, it times
  (a)  zk2morvex-cli --yes on the large boring ("large", with "L204.txt"),
  (a') the same on the large boring with measurement pairs ("large-pcnt"),
  (b)  the CLI on the whole batch of typical borings in one call,
and for each the baseline (c): every input file read as many times as the conversion opens it
(READS below), decoded from CP932 (cat ... | iconv -f CP932 -t UTF-8 > /dev/null), plus writing
outputs of the converter's sizes (the exchange files, and each boring's "BORLING.NO" in its folder). It prints
medians over --runs runs, the ratio converter / baseline, and the peak resident memory of the
converter (one more run under /usr/bin/time -v; the timed runs start it on its own), also for the first tenth of the batch, so that memory growing with
the number of borings shows. For comparison it also times the baseline with each output then
made durable (fsync), as the converter makes its files before they take their names.

--scaling also generates the large borings at twice the rows and prints the time ratio.
--big-batch also generates 10,000 typical borings (the same seed: the first 1,000 are the batch's)
and times them converted into one folder against ten times the batch of 1,000, the two timed in
turn.
--memory puts --data and --work under /dev/shm (the data copied there), so that only the
converter's own work counts; without it everything lies on the disk, where the outputs' fsync
weighs, and the targets are against the durable baseline.
--quick: one run of each instead of five, for trying it.

At the end it prints a table of the targets: the measured value, the target, met or missed.

Build the CLI for it without sanitizers:
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZK_BENCH=ON \
        -DZK_BUILD_TESTS=OFF -DZK_BUILD_WINDOW=OFF && cmake --build build-bench --target zk2morvex-cli
  python3 bench/run.py --memory --scaling --big-batch
  python3 bench/run.py --scaling --big-batch
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
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True
import make_borings  # noqa: E402  (the setting of a copied data folder is written again)

BIG_BATCH = 10000
# The baseline writes its copy of each boring's conversion record beside it, in the boring's
# folder, as the converter writes "BORLING.NO" there: on the disk, where a file is created counts.
BASELINE_RECORD = "BORLING.NO.baseline"

# How many times one conversion opens and reads each table: once, when the run takes the boring
# into memory (every table of the boring, present or not for the blocks).
READS = {name: 1 for name in (
    "titl01.txt", "titl02.txt", "titl04.txt", "X1.TXT", "X3.TXT", "X5.TXT", "X6.TXT", "X7.TXT",
    "X100.txt", "X100A.txt", "L209.txt", "L204.txt", "L201.txt", "L202.txt")}
# Only when "L204.txt" is absent do the blocks use them, but the run takes the list and each pair
# it names whenever the list is there.
READS_WITHOUT_L204 = {
    "PCNT.txt": 1,
    ".HED": 1,
    ".TMP": 1,
}
# Per conversion: none; a batch takes both code tables once, with its first boring.
READS_CODES = {}
# Once per CLI call.
READS_PER_CALL = {"RaroreD5.ini": 1}
READS_CODES_PER_CALL = {"L9.txt": 1, "Kishitu.txt": 1}


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
    if present(find(folder, "PCNT.txt")):
        files += [find(folder, "PCNT.txt")] * READS_WITHOUT_L204["PCNT.txt"]
        for entry in sorted(os.listdir(folder)):
            ext = os.path.splitext(entry)[1].upper()
            if ext in (".HED", ".TMP"):
                files += [os.path.join(folder, entry)] * READS_WITHOUT_L204[ext]
    for name, times in READS_CODES.items():
        files += [os.path.join(codes, name)] * times
    return files


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


def run_cli(cli, sources, dest, env):
    """Wall and CPU time of the converter, started on its own: under /usr/bin/time the start of
    a second program would count as the converter's."""
    clean(sources, dest)
    command = [cli, "--yes", "--dest", dest] + sources
    done, wall, cpu = timed(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                            errors="replace")
    if done.returncode != 0:
        sys.exit(f"{cli} failed ({done.returncode}):\n{done.stderr[-2000:]}")
    return wall, cpu


def peak_memory(cli, sources, dest, env):
    """Peak resident memory (KB) of one more conversion, untimed, under /usr/bin/time -v."""
    clean(sources, dest)
    command = ["/usr/bin/time", "-v", cli, "--yes", "--dest", dest] + sources
    done = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                          errors="replace")
    rss = re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr)
    if done.returncode != 0:
        sys.exit(f"{cli} failed ({done.returncode}):\n{done.stderr[-2000:]}")
    return int(rss.group(1)) if rss else 0


def baseline_script(work, sources, dest, codes, sysdir):
    """A shell script reading and decoding what the conversion reads, and writing what it wrote."""
    files = [os.path.join(sysdir, "RaroreD5.ini")] * READS_PER_CALL["RaroreD5.ini"]
    for name, times in READS_CODES_PER_CALL.items():
        files += [os.path.join(codes, name)] * times
    for s in sources:
        files += reads_of_boring(s, codes)
    read_list = os.path.join(work, "reads.lst")
    with open(read_list, "wb") as f:
        f.write(b"\0".join(p.encode() for p in files) + b"\0")
    # Into the converter's own destination, emptied first as for the converter: on the disk the
    # cost of making a file can differ many times over from one folder to another (where the
    # file system placed the folder), which would otherwise be measured instead.
    out = dest
    write_list = os.path.join(work, "writes.lst")
    with open(write_list, "w") as f:
        for entry in sorted(os.listdir(dest)):
            f.write(f"{os.path.getsize(os.path.join(dest, entry))} {entry}\n")
        for s in sources:  # the conversion record each boring gets, in the boring's own folder
            record = find(s, "BORLING.NO")
            if record:
                f.write(f"{os.path.getsize(record)} {os.path.join(s, BASELINE_RECORD)}\n")
    body = f"""set -e
xargs -0 cat < '{read_list}' | iconv -f CP932 -t UTF-8 > /dev/null
cd '{out}'
while read -r size name; do printf '%*s' "$size" '' > "$name"; done < '{write_list}'
"""
    script = os.path.join(work, "baseline.sh")
    with open(script, "w") as f:
        f.write(body)
    # The same, each output then made durable (fsync), as the converter makes its files before
    # they take their names: the targets on the disk are against this one.
    durable = os.path.join(work, "baseline-durable.sh")
    with open(durable, "w") as f:
        f.write(body + f"cut -d ' ' -f 2- '{write_list}' | tr '\\n' '\\0' | xargs -0 -r sync\n")
    total = sum(os.path.getsize(p) for p in files)
    return script, durable, out, len(files), total


def run_baseline(script, out, sources):
    """Its outputs removed first, as for the converter."""
    if os.path.isdir(out):
        shutil.rmtree(out)
    os.makedirs(out)
    for s in sources:
        record = os.path.join(s, BASELINE_RECORD)
        if os.path.exists(record):
            os.remove(record)
    done, wall, cpu = timed(["bash", script])
    if done.returncode != 0:
        sys.exit(f"the baseline {script} failed")
    return wall, cpu


def output_bytes(dest):
    return sum(os.path.getsize(os.path.join(dest, e)) for e in os.listdir(dest))


def measure(label, cli, sources, data, env, runs, work):
    dest = os.path.join(work, "out-" + label)
    codes = os.path.join(data, "codes")
    run_cli(cli, sources, dest, env)  # warm the cache; its outputs size the baseline's writes
    script, durable, out, opens, read_bytes = baseline_script(work, sources, dest, codes, os.path.join(data, "sys"))
    written = output_bytes(dest)
    conv, conv_cpu, base, base_cpu, base_durable = [], [], [], [], []
    rss = [peak_memory(cli, sources, dest, env)]
    for _ in range(runs):
        wall, cpu = run_cli(cli, sources, dest, env)
        conv.append(wall)
        conv_cpu.append(cpu)
        wall, cpu = run_baseline(script, out, sources)
        base.append(wall)
        base_cpu.append(cpu)
        base_durable.append(run_baseline(durable, out, sources)[0])
    c, b, d = statistics.median(conv), statistics.median(base), statistics.median(base_durable)
    cc, bc = statistics.median(conv_cpu), statistics.median(base_cpu)
    print(f"{label:14s} wall {c * 1000:8.1f} ms / {b * 1000:8.1f} ms = {c / b:5.2f}   "
          f"cpu {cc * 1000:8.1f} ms / {bc * 1000:8.1f} ms = {cc / max(bc, 1e-9):5.2f}   "
          f"durable {d * 1000:8.1f} ms, {c / d:5.2f}   "
          f"peak RSS {max(rss) / 1024:5.1f} MB   ({len(sources)} borings, {opens} reads, "
          f"{read_bytes / 1e6:.1f} MB read, {written / 1e6:.2f} MB written)", flush=True)
    return {"conv": c, "base": b, "durable": d, "rss": max(rss), "borings": len(sources)}


def measure_big_batch(cli, small, big, env, runs, work):
    """The big batch and the small one converted in turn, each into its own folder, medians."""
    big_dest, small_dest = os.path.join(work, "out-big"), os.path.join(work, "out-small")
    run_cli(cli, big, big_dest, env)  # warm the cache
    walls, cpus, small_walls, small_cpus = [], [], [], []
    rss = [peak_memory(cli, big, big_dest, env)]
    for _ in range(runs):
        wall, cpu = run_cli(cli, small, small_dest, env)
        small_walls.append(wall)
        small_cpus.append(cpu)
        wall, cpu = run_cli(cli, big, big_dest, env)
        walls.append(wall)
        cpus.append(cpu)
    shutil.rmtree(big_dest)
    w, c = statistics.median(walls), statistics.median(cpus)
    sw, sc = statistics.median(small_walls), statistics.median(small_cpus)
    scale = len(big) / len(small)
    print(f"{'batch/' + str(len(big)):14s} wall {w * 1000:8.1f} ms, cpu {c * 1000:8.1f} ms, "
          f"peak RSS {max(rss) / 1024:5.1f} MB;  batch/{len(small)} in turn: wall {sw * 1000:8.1f} ms, "
          f"cpu {sc * 1000:8.1f} ms;  {len(big)} / ({scale:g} x {len(small)}): "
          f"wall {w / (scale * sw):5.2f}, cpu {c / (scale * sc):5.2f}", flush=True)
    return w / (scale * sw), c / (scale * sc)


def generate(data, factor, batch, seed, rows=None):
    command = [sys.executable, os.path.join(HERE, "make_borings.py"), "--out", data, "--factor", str(factor),
               "--batch", str(batch), "--seed", str(seed)]
    if rows is not None:
        command += ["--rows", str(rows)]
    print(f"generating {data} ...", flush=True)
    subprocess.run(command, check=True)


def prepared(source, shm, fresh):
    """source itself, or with --memory its copy under shm, its setting naming the copy's code tables."""
    if shm is None:
        return source
    copy = os.path.join(shm, os.path.basename(source.rstrip("/")))
    if fresh or not os.path.isdir(copy):
        if os.path.isdir(copy):
            shutil.rmtree(copy)
        print(f"copying {source} to {copy} ...", flush=True)
        shutil.copytree(source, copy)
        make_borings.make_setting(os.path.join(copy, "sys"), os.path.join(copy, "codes"))
    return copy


def target_table(rows):
    """rows: (what, measured, shown, limit, strictly below)."""
    print("\ntarget                                                  measured      target   ")
    for what, value, shown, limit, below in rows:
        met = value < limit if below else value <= limit
        sign = "<" if below else "<="
        print(f"{what:54s} {shown:>10s}   {sign} {limit:<6g}  {'met' if met else 'MISSED'}")


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--cli", default=os.path.join(HERE, "..", "build-bench", "bin", "zk2morvex-cli"))
    p.add_argument("--data", default="/tmp/zk-bench-data", help="generated borings (made when missing)")
    p.add_argument("--work", default="/tmp/zk-bench-work", help="outputs of the timed runs")
    p.add_argument("--memory", action="store_true",
                   help="copy --data to /dev/shm and put --work there too: everything in memory")
    p.add_argument("--shm", default="/dev/shm", help="the memory file system --memory uses")
    p.add_argument("--regenerate", action="store_true")
    p.add_argument("--runs", type=int, default=None, help="runs of each case (5; 1 with --quick)")
    p.add_argument("--quick", action="store_true", help="one run of each case, for trying the script")
    p.add_argument("--batch", type=int, default=1000)
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--scaling", action="store_true", help="also time the large borings at twice the rows")
    p.add_argument("--big-batch", action="store_true",
                   help=f"also time {BIG_BATCH:,} typical borings into one folder against the batch")
    args = p.parse_args()
    runs = args.runs if args.runs is not None else (1 if args.quick else 5)

    cli = os.path.abspath(args.cli)
    if not os.access(cli, os.X_OK):
        sys.exit(f"no CLI at {cli}: build it first (see --help)")
    if not os.access("/usr/bin/time", os.X_OK):
        sys.exit("/usr/bin/time is missing: apt-get install time")
    shm = args.shm if args.memory else None
    if args.regenerate or not os.path.isdir(args.data):
        generate(args.data, 1, args.batch, args.seed)
    data = prepared(args.data, shm, args.regenerate)
    work = os.path.join(shm, os.path.basename(args.work.rstrip("/"))) if shm else args.work
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ, ZK_SYSDIR=os.path.join(data, "sys"))

    print(f"{'in memory' if shm else 'on the disk'}: data {data}, work {work}; median of {runs} runs, "
          f"converter / baseline (cat | iconv of every read, the same bytes written); "
          f"durable: the baseline with each output then fsync'ed, and converter / that", flush=True)
    timing = (runs, work)
    large = measure("large", cli, [os.path.join(data, "large")], data, env, *timing)
    pcnt = measure("large-pcnt", cli, [os.path.join(data, "large-pcnt")], data, env, *timing)
    batch = sorted(glob.glob(os.path.join(data, "batch", "B*")))
    whole = None
    if batch:
        tenth = batch[:max(1, len(batch) // 10)]
        part = measure(f"batch/{len(tenth)}", cli, tenth, data, env, *timing)
        whole = measure(f"batch/{len(batch)}", cli, batch, data, env, *timing)
        print(f"peak RSS batch/{len(batch)} : batch/{len(tenth)} = {whole['rss'] / max(part['rss'], 1):.2f}; "
              f"a typical boring {whole['conv'] / len(batch) * 1000:.3f} ms in the batch of {len(batch)}")

    # The targets: against the plain baseline in memory, against the durable one on the disk.
    key, limit, against = ("base", 1.5, "plain") if shm else ("durable", 1.2, "durable")
    rows = []
    if whole:
        rows.append((f"typical boring, batch of {len(batch)} / {against} baseline", whole["conv"] / whole[key],
                     f"{whole['conv'] / whole[key]:.2f}", limit, False))
    for case, name in ((large, "large boring"), (pcnt, "large boring with pairs")):
        rows.append((f"{name} / {against} baseline", case["conv"] / case[key],
                     f"{case['conv'] / case[key]:.2f}", limit, False))
    for case, name in ((large, "large boring"), (pcnt, "large boring with pairs")):
        rows.append((f"peak memory, {name} (MB)", case["rss"] / 1024, f"{case['rss'] / 1024:.1f}", 16, True))

    if args.scaling:
        doubled_source = args.data + "-x2"
        if args.regenerate or not os.path.isdir(doubled_source):
            generate(doubled_source, 2, 0, args.seed)
        doubled = prepared(doubled_source, shm, args.regenerate)
        env2 = dict(os.environ, ZK_SYSDIR=os.path.join(doubled, "sys"))
        large2 = measure("large x2", cli, [os.path.join(doubled, "large")], doubled, env2, *timing)
        pcnt2 = measure("large-pcnt x2", cli, [os.path.join(doubled, "large-pcnt")], doubled, env2, *timing)
        for x2, x1, name in ((large2, large, "large boring"), (pcnt2, pcnt, "large boring with pairs")):
            rows.append((f"twice the rows / the rows, {name}", x2["conv"] / x1["conv"],
                         f"{x2['conv'] / x1['conv']:.2f}", 2.1, False))

    if args.big_batch and batch:
        # The large borings of this folder are not timed: few rows, for a quick generation.
        big_source = f"{args.data}-b{BIG_BATCH}"
        if args.regenerate or not os.path.isdir(big_source):
            generate(big_source, 1, BIG_BATCH, args.seed, rows=10)
        big_data = prepared(big_source, shm, args.regenerate)
        env3 = dict(os.environ, ZK_SYSDIR=os.path.join(big_data, "sys"))
        big = sorted(glob.glob(os.path.join(big_data, "batch", "B*")))
        wall, cpu = measure_big_batch(cli, big[:len(batch)], big, env3, *timing)
        rows.append((f"batch of {len(big)} / ({len(big) // len(batch)} x batch of {len(batch)}), wall", wall,
                     f"{wall:.2f}", 1.3, False))
        rows.append((f"the same, cpu (for comparison)", cpu, f"{cpu:.2f}", 1.3, False))

    target_table(rows)


if __name__ == "__main__":
    main()

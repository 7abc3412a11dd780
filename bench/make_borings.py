#!/usr/bin/env python3
"""Synthetic borings for timing the converter.

Writes, under --out:
  codes/            the code-table folder: "L9.txt" and "Kishitu.txt"
  sys/RaroreD5.ini  the setting (line 2 names codes/); point ZK_SYSDIR at sys/
  large/            one large boring: every table at --rows rows or more, "L204.txt" included
  large-pcnt/       the same boring without "L204.txt", with "PCNT.txt" and its .HED/.TMP pairs
  batch/B0001 ...   --batch typical borings (10 to 40 layers, a few tests each; B00001 ... past 9,999)

Every file is CP932 with CR LF. The same --seed gives the same bytes. --factor multiplies
every large table's row count (2 doubles them), to show how the time grows with the rows.
"""

import argparse
import math
import os
import random
import shutil

CRLF = "\r\n"

L9_NAMES = [
    "標準貫入試験", "孔内水平載荷試験", "現場透水試験", "間隙水圧測定", "ＰＳ検層",
    "電気検層", "温度検層", "密度検層", "キャリパー検層", "その他",
    "湧水圧測定", "速度検層", "地下水検層", "ボアホールカメラ", "ベーン試験",
]
X7_NAMES = ["ベーン", "ｺﾛｰｼﾞｮﾝ", "間隙水圧測定", "その他", "揚水試験"]

MAINS = ["礫", "礫質土", "砂", "砂質土", "シルト", "粘性土", "有機質土", "火山灰質粘性土", "腐植土", "粘土"]
ADJECTIVES = ["", "", "砂質", "シルト質", "粘土質", "有機質", "火山灰質"]
MIXTURES = ["", "", "", "玉石混り", "砂利・礫混じり", "砂混り", "シルト混じり", "粘土混り",
            "有機質土混り", "火山灰混じり", "貝殻混り", "礫混じり"]
ROCKS = ["硬岩", "中硬岩", "軟岩", "風化岩", "玉石", "浮石", "軽石", "シラス", "スコリア",
         "火山灰", "ローム", "黒ボク", "マサ", "表土", "埋土", "廃棄土"]
COLOUR_CODES = [1, 2, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 18, 3, 11]
REMARKS = ["所々に礫を含む", "含水比高い", "貝殻片混入", "木片を含む", "均質", "やや硬い", ""]
SOIL_KINDS = ["ＵＵ", "ＣＵ", "ＵＣ", "ＣＤ", "一軸"]


def quoted(text):
    return '"' + text + '"'


def num(value, decimals=2):
    return f"{value:.{decimals}f}"


def write_table(path, lines):
    with open(path, "w", encoding="cp932", newline="") as f:
        for line in lines:
            f.write(line + CRLF)


def row_line(fields):
    return ",".join(fields)


# --- code tables -------------------------------------------------------------------------

def soil_name(rng):
    if rng.random() < 0.1:
        return rng.choice(ROCKS)
    return rng.choice(MIXTURES) + rng.choice(ADJECTIVES) + rng.choice(MAINS)


def make_codes(folder, rng, kishitu_records):
    os.makedirs(folder, exist_ok=True)
    write_table(os.path.join(folder, "L9.txt"),
                [row_line([str(i + 1), quoted(name)]) for i, name in enumerate(L9_NAMES)])
    lines = []
    for code in range(1, kishitu_records + 1):
        name = soil_name(rng)
        lines.append(row_line([str(code), quoted(" " + name + " "), quoted(name[:1]),
                               str(rng.randint(0, 9)), "", quoted("")]))
    write_table(os.path.join(folder, "Kishitu.txt"), lines)


def make_setting(sys_folder, codes_folder):
    os.makedirs(sys_folder, exist_ok=True)
    write_table(os.path.join(sys_folder, "RaroreD5.ini"),
                ["[VUREDA]", os.path.abspath(codes_folder) + "/"])


# --- title tables ------------------------------------------------------------------------

def make_titles(folder, rng, name, depth):
    # A point of Japan: latitude 31 to 43 degrees, longitude 130 to 145 degrees.
    lat = (rng.randint(31, 42), rng.randint(0, 59), rng.uniform(0, 59.9))
    lon = (rng.randint(130, 144), rng.randint(0, 59), rng.uniform(0, 59.9))
    t1 = [""] * 24
    t1[1] = name + "地区地質調査"
    t1[2] = "調査会社"
    t1[4] = str(rng.randint(1, 9999))
    t1[7] = str(rng.randint(1990, 2024))
    t1[8] = str(rng.randint(1, 12))
    t1[10] = name
    t1[11], t1[12], t1[13] = str(lat[0]), str(lat[1]), num(lat[2], 1)
    t1[14], t1[15], t1[16] = str(lon[0]), str(lon[1]), num(lon[2], 1)
    t1[18] = " 担当者 "
    t2 = [""] * 42
    for i in range(1, 42):
        t2[i] = str(rng.randint(0, 99))
    t2[17] = str(rng.choice([1, 2, 3, 8]))
    t2[19] = num(rng.uniform(-2, 250))
    t2[23] = num(rng.uniform(-30, 30))
    t2[25] = str(rng.randint(0, 359))
    t2[26] = str(rng.choice([0, 45, 90, 180]))
    t2[31] = str(rng.randint(1, 7))
    t4 = [""] * 15
    t4[1], t4[2], t4[4], t4[5] = (str(rng.randint(1, 99999)), str(rng.randint(1, 9999)),
                                  str(rng.randint(0, 99)), str(rng.randint(0, 999999)))
    t4[6], t4[7], t4[8] = "東京都", "千代田区", "一丁目"
    for i in range(9, 15):
        t4[i] = "備考" + str(i)
    write_table(os.path.join(folder, "titl01.txt"), [",".join(quoted(x) for x in t1[1:12]),
                                                     ",".join(quoted(x) for x in t1[12:])])
    write_table(os.path.join(folder, "titl02.txt"), [",".join(t2[1:21]), ",".join(t2[21:])])
    write_table(os.path.join(folder, "titl04.txt"), [",".join(quoted(x) for x in t4[1:])])


# --- boring tables -----------------------------------------------------------------------

def depths(rng, count, step_low, step_high):
    d, out = 0.0, []
    for _ in range(count):
        d += rng.uniform(step_low, step_high)
        out.append(round(d, 2))
    return out


def make_layers(folder, rng, layers, kishitu_records):
    lines = []
    bottoms = depths(rng, layers, 0.3, 3.0)
    for i, bottom in enumerate(bottoms, 1):
        lines.append(row_line([str(i), num(bottom), str(rng.randint(1, kishitu_records)),
                               quoted(rng.choice(REMARKS))]))
    write_table(os.path.join(folder, "X1.TXT"), lines)
    return bottoms[-1]


def make_colours(folder, rng, colours, depth):
    lines, d = [], 0.0
    step = depth / colours
    for i in range(1, colours + 1):
        d = depth if i == colours else d + rng.uniform(0.2, 1.8) * step
        code = "".join(f"{rng.choice(COLOUR_CODES):02d}" for _ in range(rng.randint(1, 3)))
        lines.append(row_line([str(i), num(d), quoted(code), quoted("色調"), "", quoted(""), str(i)]))
    write_table(os.path.join(folder, "X3.TXT"), lines)


def make_penetration_tests(folder, rng, tests):
    lines = []
    for i in range(1, tests + 1):
        n = rng.choice([0, rng.randint(1, 49), rng.randint(1, 49), rng.randint(50, 150)])
        pen = rng.choice([30, 30, 30, rng.randint(1, 30)])
        fields = [str(i), num(i + 0.15), str(n), "", str(pen)] + [str(rng.randint(0, 30)) for _ in range(6)]
        lines.append(row_line(fields))
    write_table(os.path.join(folder, "X5.TXT"), lines)


def make_test_kind_table(path, rng, rows, names):
    lines = []
    for i in range(1, rows + 1):
        fields = [str(i), num(rng.uniform(0, 50))] + [str(rng.randint(0, 99)) for _ in range(26)]
        fields += [quoted(rng.choice(names) if rng.random() < 0.2 else "") for _ in range(20)]
        fields += [quoted("") for _ in range(20)]
        # 68 fields over two lines: rows are field groups, not lines.
        lines.append(row_line(fields[:34]))
        lines.append(row_line(fields[34:]))
    write_table(path, lines)


def make_soil_tests(folder, rng, rows):
    main, extra = [], []
    for i in range(1, rows + 1):
        top = round(i * 1.5, 2)
        a = [""] * 45
        a[1] = quoted("T-" + str(i))
        a[2], a[3] = num(top), num(top + 0.8)
        for k in range(4, 45):
            a[k] = num(rng.uniform(0, 100), 2)
        for k in (14, 15, 16, 17):
            a[k] = str(rng.randint(0, 100))
        a[22] = num(rng.choice([rng.uniform(0, 999), rng.uniform(1000, 99999)]), 1)
        a[30] = quoted(rng.choice(SOIL_KINDS) if rng.random() < 0.7 else "")
        a[32] = num(rng.uniform(0, 200), 1)
        main.append(row_line(a[1:23]))
        main.append(row_line(a[23:]))
        b = [quoted(str(i)), quoted("試料" + "ABCD"[i % 4]), num(rng.uniform(0, 99), 1),
             num(rng.uniform(0, 99)), num(rng.uniform(0, 9)),
             f"{rng.uniform(1e-5, 1e-1):.5f}", f"{rng.uniform(1e-5, 1):.6f}"]
        extra.append(row_line(b))
    write_table(os.path.join(folder, "X100.txt"), main)
    write_table(os.path.join(folder, "X100A.txt"), extra)


def make_fifteen(path, rng, rows, code_column, code):
    lines = []
    top = 0.0
    for i in range(1, rows + 1):
        top += rng.uniform(0.5, 2.0)
        a = [""] * 16
        a[1] = str(i)
        a[2] = num(rng.uniform(0.5, 1.0))
        a[3] = num(top)
        for k in range(5, 16):
            a[k] = num(rng.uniform(0, 500), 3)
        a[6] = f"{rng.uniform(1e-6, 1e-2):.7f}"
        a[code_column] = code if i == 1 or rng.random() < 0.5 else ""
        lines.append(row_line(a[1:]))
    write_table(path, lines)


def make_measurements(folder, rng, pairs, lower_ext):
    hed, tmp = (".hed", ".tmp") if lower_ext else (".HED", ".TMP")
    lines = []
    for i in range(1, pairs + 1):
        name = f"M{i:05d}"
        lines.append(row_line([str(i), quoted(" " + name + " ")]))
        top = round(i * 0.5, 2)
        write_table(os.path.join(folder, name + hed),
                    [row_line(["1", quoted("測定"), "0", "0", num(top), num(top + 0.5), "0"])])
        write_table(os.path.join(folder, name + tmp),
                    [row_line([str(k) for k in range(1, 10)] + [f"{rng.uniform(1e-7, 1e-3):.3E}"])])
    write_table(os.path.join(folder, "PCNT.txt"), lines)


# --- borings -----------------------------------------------------------------------------

def make_large(folder, rng, rows, kishitu_records, with_l204, lower_ext):
    os.makedirs(folder, exist_ok=True)
    depth = make_layers(folder, rng, rows, kishitu_records)
    make_titles(folder, rng, "大規模", depth)
    make_colours(folder, rng, rows, depth)
    make_penetration_tests(folder, rng, rows)
    make_test_kind_table(os.path.join(folder, "X6.TXT"), rng, rows, L9_NAMES)
    make_test_kind_table(os.path.join(folder, "X7.TXT"), rng, rows, X7_NAMES)
    make_soil_tests(folder, rng, rows)
    make_fifteen(os.path.join(folder, "L209.txt"), rng, rows, 4, "3")
    make_fifteen(os.path.join(folder, "L201.txt"), rng, rows, 4, "10")
    if with_l204:
        make_fifteen(os.path.join(folder, "L204.txt"), rng, rows, 4, "2.5E-05")
    else:
        make_measurements(folder, rng, rows, lower_ext)


def make_typical(folder, rng, index, kishitu_records):
    os.makedirs(folder, exist_ok=True)
    depth = make_layers(folder, rng, rng.randint(10, 40), kishitu_records)
    make_titles(folder, rng, f"地点{index}", depth)
    make_colours(folder, rng, rng.randint(3, 20), depth)
    make_penetration_tests(folder, rng, max(1, int(depth)))
    if rng.random() < 0.5:
        make_test_kind_table(os.path.join(folder, "X6.TXT"), rng, rng.randint(1, 4), L9_NAMES)
    if rng.random() < 0.3:
        make_test_kind_table(os.path.join(folder, "X7.TXT"), rng, rng.randint(1, 3), X7_NAMES)
    if rng.random() < 0.6:
        make_soil_tests(folder, rng, rng.randint(1, 6))
    if rng.random() < 0.3:
        make_fifteen(os.path.join(folder, "L209.txt"), rng, rng.randint(1, 5), 4, "3")
    if rng.random() < 0.3:
        make_fifteen(os.path.join(folder, "L201.txt"), rng, rng.randint(1, 5), 4, "10")
    if rng.random() < 0.2:
        make_fifteen(os.path.join(folder, "L204.txt"), rng, rng.randint(1, 5), 4, "")


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--out", required=True, help="folder to fill (emptied first)")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--rows", type=int, default=1000, help="rows of every large table (default 1000)")
    p.add_argument("--factor", type=float, default=1.0, help="multiplies --rows (2: twice the rows)")
    p.add_argument("--batch", type=int, default=1000, help="number of typical borings")
    p.add_argument("--kishitu", type=int, default=10000, help="records of Kishitu.txt")
    p.add_argument("--lower-ext", action="store_true",
                   help="name the measurement files .hed/.tmp (found only by case-insensitive lookup)")
    args = p.parse_args()

    rows = int(math.ceil(args.rows * args.factor))
    if os.path.isdir(args.out):
        shutil.rmtree(args.out)
    os.makedirs(args.out)
    rng = random.Random(args.seed)
    codes = os.path.join(args.out, "codes")
    make_codes(codes, rng, args.kishitu)
    make_setting(os.path.join(args.out, "sys"), codes)
    make_large(os.path.join(args.out, "large"), random.Random(args.seed + 1), rows, args.kishitu, True, False)
    make_large(os.path.join(args.out, "large-pcnt"), random.Random(args.seed + 1), rows, args.kishitu, False,
               args.lower_ext)
    batch = os.path.join(args.out, "batch")
    os.makedirs(batch)
    brng = random.Random(args.seed + 2)
    width = max(4, len(str(args.batch)))  # B0001 ... B1000, B00001 ... B10000: the same seed gives the same borings
    for i in range(1, args.batch + 1):
        make_typical(os.path.join(batch, f"B{i:0{width}d}"), brng, i, args.kishitu)


if __name__ == "__main__":
    main()

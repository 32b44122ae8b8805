#!/usr/bin/env python3
"""Draws the math benchmark table as a PNG chart and prints it as Markdown.

Input: the JSON that mathlib_bench writes with
    --benchmark_format=json   (or --benchmark_out=FILE --benchmark_out_format=json)
Benchmarks are named "<operation>/<contender>", the contenders being plain,
sse, sse2, sse2_vex (the VEX form of the SSE2 set, where the processor runs it),
selected (the library's own) and glm, eigen (the peers, inline in
the loop as their users write them) and glm_call, eigen_call (the same peer
code behind an out-of-line call, the calling shape of the library). The table
gives ns per operation and, for the selected set, the ratio to the faster
peer of each kind (below 1: the library is faster).

Usage: mathchart.py RESULTS.json [-o chart.png] [--table table.md] [--stat min]
Needs matplotlib only for the chart (Debian: python3-matplotlib).
"""
import argparse
import json
import sys
from collections import OrderedDict

CONTENDERS = ["plain", "sse", "sse2", "sse2_vex", "selected", "glm", "eigen", "glm_call", "eigen_call"]
# The operations in the order of their slots.
OPERATIONS = ["Vec2Transform", "Vec3Transform", "Vec4Transform", "MatrixMultiply", "Vec3Normalise",
              "Vec2TransformCoord", "Vec3TransformCoord", "MatrixInverse", "QuatFromRotationMatrix",
              "QuatSlerp", "MatrixRotationQuat"]
PEERS = ["glm", "eigen"]
CALLED_PEERS = ["glm_call", "eigen_call"]


def load(path, stat="median"):
    """ns per operation for each (operation, contender).

    stat "median": the median aggregate when the run has repetitions (else
    the single runs). stat "min": the fastest repetition, which needs the
    repetitions themselves (run without --benchmark_report_aggregates_only);
    on a shared machine it estimates the cost without other load.
    """
    with open(path) as f:
        data = json.load(f)
    benchmarks = data.get("benchmarks", [])
    runs = [b for b in benchmarks if b.get("run_type", "iteration") == "iteration"]
    if stat == "min":
        chosen = runs
    else:
        chosen = [b for b in benchmarks if b.get("aggregate_name") == "median"] or runs
    table = OrderedDict()
    for bench in chosen:
        name = bench.get("run_name", bench["name"])
        if "/" not in name:
            continue
        operation, contender = name.split("/", 1)
        scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[bench.get("time_unit", "ns")]
        value = bench["cpu_time"] * scale
        row = table.setdefault(operation, {})
        row[contender] = min(value, row[contender]) if contender in row else value
    rank = {name: i for i, name in enumerate(OPERATIONS)}
    return OrderedDict(sorted(table.items(), key=lambda item: rank.get(item[0], len(rank))))


def ratio(row, peer_names=PEERS):
    peers = [row[p] for p in peer_names if p in row]
    if "selected" not in row or not peers:
        return None
    return row["selected"] / min(peers)


def markdown(table):
    lines = ["| operation | " + " | ".join(CONTENDERS) + " | selected / best peer | selected / best called peer |",
             "|---|" + "---:|" * (len(CONTENDERS) + 2)]
    for operation, row in table.items():
        cells = ["%.2f" % row[c] if c in row else "" for c in CONTENDERS]
        r, rc = ratio(row), ratio(row, CALLED_PEERS)
        lines.append("| %s | %s | %s | %s |" % (operation, " | ".join(cells), "%.2f" % r if r else "",
                                                "%.2f" % rc if rc else ""))
    return "\n".join(lines)


def chart(table, path):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    operations = list(table)
    width = 0.8 / len(CONTENDERS)
    fig, (ax, rx) = plt.subplots(2, 1, figsize=(max(8, 1.2 * len(operations)), 8),
                                 gridspec_kw={"height_ratios": [3, 2]}, sharex=True)
    for k, contender in enumerate(CONTENDERS):
        xs = [i + (k - (len(CONTENDERS) - 1) / 2) * width for i in range(len(operations))]
        ys = [table[op].get(contender, 0) for op in operations]
        ax.bar(xs, ys, width, label=contender)
    ax.set_ylabel("ns per operation (lower is better)")
    ax.set_title("Math library: own routine sets and peers")
    ax.legend(ncol=3)

    # The selected set against the faster peer, inline and behind a call.
    for k, (names, label) in enumerate([(PEERS, "selected / faster inline peer"),
                                        (CALLED_PEERS, "selected / faster called peer")]):
        xs = [i + (k - 0.5) * 0.35 for i in range(len(operations))]
        ys = [ratio(table[op], names) or 0 for op in operations]
        rx.bar(xs, ys, 0.35, label=label)
    rx.axhline(1.0, color="black", linewidth=0.8)
    rx.set_ylabel("ratio (below 1: faster)")
    rx.legend()
    rx.set_xticks(range(len(operations)))
    rx.set_xticklabels(operations, rotation=30, ha="right")
    fig.tight_layout()
    fig.savefig(path, dpi=110)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("results")
    parser.add_argument("-o", "--output", default="mathlib-bench.png")
    parser.add_argument("--table", help="also write the Markdown table here")
    parser.add_argument("--stat", choices=["median", "min"], default="median",
                        help="figure per benchmark over its repetitions (default: median)")
    args = parser.parse_args(argv)
    table = load(args.results, args.stat)
    if not table:
        sys.exit("no '<operation>/<contender>' benchmarks in %s" % args.results)
    text = markdown(table)
    print(text)
    if args.table:
        with open(args.table, "w") as f:
            f.write(text + "\n")
    chart(table, args.output)
    print("chart written to %s" % args.output)


if __name__ == "__main__":
    main(sys.argv[1:])

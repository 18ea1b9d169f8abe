#!/usr/bin/env python3
"""Turns hexrace_compare's JSON into the README's tables and charts.

Usage: report.py COMPARE_JSON [--part medians|ratios] [--charts DIR] [--caption TEXT]

Prints Markdown: the medians in nanoseconds per conversion for the 32-bit and the 64-bit
contestants and the bulk parsers in GB/s, or (--part ratios) the parser's ratios to what it
replaces, each above the floor of the loop and the call, with their targets. With --charts, writes DIR/lengths.svg (nanoseconds against the number
of digits, a line per contestant) and DIR/workloads.svg (bars for the mixed, latency and bulk
workloads). Charts need matplotlib (Debian: python3-matplotlib); the tables need nothing.
"""

import argparse
import json
import sys
from collections import OrderedDict

FLOOR = "(loop and call only)"
FROM_CHARS = "std::from_chars"


def medians(path):
    """{input: OrderedDict{contestant: median}}, ns per conversion or bytes per second (bulk), in
    the order the suite registers its benchmarks (its runs come interleaved at random)."""
    with open(path, encoding="utf-8") as f:
        runs = json.load(f)["benchmarks"]
    runs.sort(key=lambda run: run.get("family_index", 0))
    table = OrderedDict()
    for run in runs:
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        name = run["run_name"] if "run_name" in run else run["name"]
        workload, _, contestant = name.partition("/")
        value = run.get("bytes_per_second") if workload == "bulk" else run["real_time"]
        row = table.setdefault(workload, OrderedDict())
        # A single run (no repetitions) has no median aggregate: its own figure stands.
        if run.get("aggregate_name") == "median" or contestant not in row:
            row[contestant] = value
    return table


def contestants_of(table, inputs):
    names = []
    for workload in inputs:
        for name in table.get(workload, {}):
            if name not in names and name != FLOOR:
                names.append(name)
    return names


def markdown(table, inputs, title, floor=None):
    names = contestants_of(table, inputs)
    present = [w for w in inputs if w in table]
    lines = ["| %s | %s |" % (title, " | ".join(present)),
             "|---|" + "---:|" * len(present)]
    for name in names + ([FLOOR] if floor else []):
        cells = []
        for workload in present:
            value = table[workload].get(name)
            cells.append("" if value is None else "%.1f" % value)
        lines.append("| `%s` | %s |" % (name, " | ".join(cells)))
    return "\n".join(lines)


def above_floor(table, workload, name, floor):
    row = table.get(workload, {})
    if name not in row or floor is None:
        return None
    return row[name] - floor


def ratio(table, workload, name, reference, floor):
    mine = above_floor(table, workload, name, floor)
    theirs = above_floor(table, workload, reference, floor)
    if mine is None or theirs is None or theirs <= 0:
        return "n/a"
    return "%.2f" % (mine / theirs)


def ratios(table):
    """The parser against what it replaces, each ratio above the floor, with its target."""
    floor = table.get("C0000000", {}).get(FLOOR)
    rows = [
        ("`len8`, eight digits: `parse_hex` / `std::from_chars`", "len8", "parse_hex",
         FROM_CHARS, "at most 0.4"),
        ("`mixed`, 1 to 8 digits: `parse_hex` / `std::from_chars`", "mixed", "parse_hex",
         FROM_CHARS, "at most 0.6"),
        ("`mixed`: `parse_hex` / the unvalidated `swar`", "mixed", "parse_hex", "swar", ""),
        ("`mixed16`, 1 to 16 digits: `parse_hex u64` / `std::from_chars u64`", "mixed16",
         "parse_hex u64", FROM_CHARS + " u64", "at most 0.4"),
        ("`latency`, eight digits: `parse_hex` / `std::from_chars`", "latency", "parse_hex",
         FROM_CHARS, ""),
    ]
    lines = ["| time against time, each above the floor | ratio | target |", "|---|---:|---|"]
    for label, workload, name, reference, target in rows:
        workload_floor = table.get(workload, {}).get(FLOOR, floor)
        lines.append("| %s | %s | %s |" % (label, ratio(table, workload, name, reference,
                                                        workload_floor), target))
    bulk = table.get("bulk", {})
    if "parse_hex_list" in bulk and "memchr + std::from_chars" in bulk:
        lines.append("| `bulk`: `parse_hex_list` GB/s / `memchr` + `std::from_chars` GB/s | "
                     "%.2f | at least 4 |" % (bulk["parse_hex_list"] /
                                              bulk["memchr + std::from_chars"]))
        lines.append("| `bulk`: `parse_hex_list`, GB/s | %.2f | at least 1.5 |" %
                     (bulk["parse_hex_list"] / 1e9))
    return "\n".join(lines)


def bulk_markdown(table):
    bulk = table.get("bulk", {})
    lines = ["| bulk, 1 MiB of 1- to 16-digit lines | GB/s |", "|---|---:|"]
    for name, rate in bulk.items():
        lines.append("| `%s` | %.2f |" % (name, rate / 1e9))
    return "\n".join(lines)


def report(table, part):
    inputs32 = ["C0000000"] + ["len%d" % n for n in range(1, 9)] + ["mixed", "latency"]
    inputs64 = ["len%d" % n for n in range(1, 17)] + ["mixed16"]
    # The 64-bit contestants' rows on len1 to len8 share those inputs' names with the 32-bit ones.
    names64 = [n for n in contestants_of(table, ["mixed16"])]
    table32 = OrderedDict((w, OrderedDict((k, v) for k, v in row.items() if k not in names64))
                          for w, row in table.items() if w in inputs32)
    table64 = OrderedDict((w, OrderedDict((k, v) for k, v in row.items() if k in names64))
                          for w, row in table.items() if w in inputs64)
    if part == "ratios":
        return ratios(table)
    return "\n\n".join([markdown(table32, inputs32, "ns per conversion, 32 bits", floor=True),
                        markdown(table64, inputs64, "ns per conversion, 64 bits"),
                        bulk_markdown(table)])


def charts(table, directory, caption):
    import matplotlib
    matplotlib.use("Agg")
    matplotlib.rcParams["svg.fonttype"] = "none"  # text stays text, names findable
    matplotlib.rcParams["svg.hashsalt"] = "hexrace"  # the same file from the same figures
    import matplotlib.pyplot as plt

    lengths = ["len%d" % n for n in range(1, 17)]
    names = [n for n in contestants_of(table, lengths) if "[" not in n]
    fig, ax = plt.subplots(figsize=(10, 6))
    colours = plt.get_cmap("tab20")
    for i, name in enumerate(names):
        points = [(n + 1, table[w][name]) for n, w in enumerate(lengths)
                  if w in table and name in table[w]]
        if points:
            # The dark ten of twenty colours first, then the light ten, then again with squares.
            colour = colours(2 * i % 20 + i // 10 % 2)
            ax.plot([p[0] for p in points], [p[1] for p in points], color=colour,
                    marker="os"[i // 20 % 2], label=name)
    ax.set_yscale("log")
    ax.set_xlabel("digits")
    ax.set_ylabel("ns per conversion (median, log scale)")
    ax.set_xticks(range(1, 17))
    ax.set_title("Time per conversion against the number of digits")
    ax.legend(fontsize="small", ncol=2)
    fig.text(0.01, 0.01, caption, fontsize="x-small")
    fig.tight_layout(rect=(0, 0.03, 1, 1))
    fig.savefig("%s/lengths.svg" % directory, metadata={"Date": None})
    plt.close(fig)

    panels = [(w, u) for w, u in [("mixed", "ns, 1 to 8 digits (log scale)"),
                                  ("latency", "ns, each waiting for the one before (log)"),
                                  ("mixed16", "ns, 1 to 16 digits, 64 bits (log)"),
                                  ("bulk", "GB/s, 1 MiB of lines")] if w in table]
    fig, axes = plt.subplots(1, len(panels), figsize=(4.5 * len(panels), 6), squeeze=False)
    for ax, (workload, unit) in zip(axes[0], panels):
        row = [(k, v) for k, v in table[workload].items() if k != FLOOR]
        values = [v / 1e9 if workload == "bulk" else v for _, v in row]
        ax.barh([k for k, _ in row], values)
        ax.invert_yaxis()
        ax.set_title(workload)
        ax.set_xlabel(unit)
        if workload != "bulk":
            ax.set_xscale("log")  # the stream and scanf calls are a hundred times the fastest
        ax.tick_params(axis="y", labelsize="small")
    fig.text(0.01, 0.01, caption, fontsize="x-small")
    fig.tight_layout(rect=(0, 0.03, 1, 1))
    fig.savefig("%s/workloads.svg" % directory, metadata={"Date": None})
    plt.close(fig)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("json")
    parser.add_argument("--charts", metavar="DIR")
    parser.add_argument("--caption", default="")
    parser.add_argument("--part", choices=["medians", "ratios"], default="medians")
    args = parser.parse_args()
    table = medians(args.json)
    print(report(table, args.part))
    if args.charts:
        charts(table, args.charts, args.caption)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Turns hexrace_compare's JSON into the README's tables and charts.

Usage: report.py COMPARE_JSON [MORE_JSON...] [--part times|ratios|verdict] [--charts DIR]
                 [--caption TEXT] [--builds NAME,NAME]

Prints Markdown: the best of each benchmark's repetitions in nanoseconds per conversion (buffers in
GB/s), or (--part ratios)
parse_hex against std::from_chars on every workload, each time above the floor of the loop and the
call, a column per JSON (one per build: --builds names them), with the targets; or (--part
verdict) for each workload the fastest validated parser and the fastest unvalidated trick. With
--charts, writes DIR/lengths.svg and DIR/workloads.svg from the first JSON. Charts need
matplotlib (Debian: python3-matplotlib); the tables need nothing.
"""

import argparse
import json
import sys
from collections import OrderedDict

FLOOR = "(loop and call only)"
VALIDATED = "validated"
TRICK = "unvalidated"
BUFFERS = OrderedDict([("bulk", "1 MiB of 1- to 16-digit lines, LF"),
                       ("bulk_crlf", "the same lines, CRLF"),
                       ("bulk32", "1 MiB of 1- to 8-digit lines, 32-bit values"),
                       ("words", "1 MiB of two-digit words, a hexdump")])
TEXTS32 = ["C0000000"] + ["len%d" % n for n in range(1, 9)] + ["mixed", "latency", "corpus"]
TEXTS64 = ["len%d" % n for n in range(1, 17)] + ["mixed16", "corpus"]
WORKLOAD_NOTES = {
    "C0000000": "the race's text",
    "mixed": "1 to 8 digits, 32 bits",
    "latency": "8 digits, each waiting for the one before",
    "mixed16": "1 to 16 digits, 64 bits",
    "corpus": "the user's own texts",
}


class Suite:
    """One run of the suite: {workload: OrderedDict{contestant: figure}} (ns, or bytes per second
    for a buffer), and each contestant's kind: validated, unvalidated or floor. The figure is the
    best of the repetitions: the machine that made the README's runs some of the time runs at
    about 60% of its speed, which only ever adds time, and a median falls on either side of it."""

    def __init__(self, path):
        with open(path, encoding="utf-8") as f:
            runs = json.load(f)["benchmarks"]
        runs.sort(key=lambda run: run.get("family_index", 0))
        self.table = OrderedDict()
        self.kinds = {}
        for run in runs:
            if run.get("run_type") == "aggregate":
                continue
            name = run["run_name"] if "run_name" in run else run["name"]
            workload, _, contestant = name.partition("/")
            rate = workload in BUFFERS
            value = run.get("bytes_per_second") if rate else run["real_time"]
            row = self.table.setdefault(workload, OrderedDict())
            if contestant not in row or (value > row[contestant] if rate else
                                         value < row[contestant]):
                row[contestant] = value
            self.kinds[contestant] = run.get("label") or (FLOOR if contestant == FLOOR else
                                                          VALIDATED)

    def validated(self, name):
        return self.kinds.get(name) == VALIDATED

    def floor(self, workload):
        return self.table.get(workload, {}).get(FLOOR)

    def above_floor(self, workload, name):
        value = self.table.get(workload, {}).get(name)
        floor = self.floor(workload)
        if value is None or floor is None:
            return None
        return value - floor


def names_in(table, workloads):
    names = []
    for workload in workloads:
        for name in table.get(workload, {}):
            if name not in names and name != FLOOR:
                names.append(name)
    return names


def markdown(suite, workloads, title, wide):
    present = [w for w in workloads if w in suite.table]
    # The 64-bit contestants are those of mixed16; the lengths up to 8 hold both widths.
    names64 = set(names_in(suite.table, ["mixed16"]))
    names = [n for n in names_in(suite.table, present) if (n in names64) == wide]
    lines = ["| %s | %s |" % (title, " | ".join(present)), "|---|" + "---:|" * len(present)]
    for name in names + [FLOOR]:
        cells = []
        for workload in present:
            value = suite.table[workload].get(name)
            cells.append("" if value is None else "%.1f" % value)
        if any(cells):
            lines.append("| `%s` | %s |" % (name, " | ".join(cells)))
    return "\n".join(lines)


def buffers_markdown(suite):
    present = [b for b in BUFFERS if b in suite.table]
    names = names_in(suite.table, present)
    lines = ["| GB/s | %s |" % " | ".join("`%s`" % b for b in present),
             "|---|" + "---:|" * len(present)]
    for name in names:
        cells = ["%.2f" % (suite.table[b][name] / 1e9) if name in suite.table[b] else ""
                 for b in present]
        lines.append("| `%s` | %s |" % (name, " | ".join(cells)))
    return "\n".join(lines)


def times(suite):
    return "\n\n".join([markdown(suite, TEXTS32, "ns per conversion, 32 bits", False),
                        markdown(suite, TEXTS64, "ns per conversion, 64 bits", True),
                        buffers_markdown(suite)])


def ratio_text(suite, workload, name, reference):
    mine = suite.above_floor(workload, name)
    theirs = suite.above_floor(workload, reference)
    if mine is None or theirs is None or theirs <= 0:
        return "n/a"
    return "%.2f" % (mine / theirs)


def rate_ratio(suite, workload, name, reference):
    row = suite.table.get(workload, {})
    if name not in row or reference not in row:
        return "n/a"
    return "%.2f" % (row[name] / row[reference])


def ratios(suites, builds):
    """parse_hex against std::from_chars on every workload, a column per build, with targets."""
    header = "| parse_hex / std::from_chars, each above its build's floor | %s | target |" % (
        " | ".join(builds))
    lines = [header, "|---|" + "---:|" * len(builds) + "---|"]

    def add(label, row_of, target):
        lines.append("| %s | %s | %s |" % (label, " | ".join(row_of(s) for s in suites), target))

    for n in range(1, 17):
        target = "at most 0.7" if n <= 4 else "at most 0.5"
        if n <= 8:
            add("`len%d`, 32 bits" % n,
                lambda s, n=n: ratio_text(s, "len%d" % n, "parse_hex", "std::from_chars"), target)
        add("`len%d`, 64 bits" % n,
            lambda s, n=n: ratio_text(s, "len%d" % n, "parse_hex u64", "std::from_chars u64"),
            target)
    add("`mixed`, 1 to 8 digits",
        lambda s: ratio_text(s, "mixed", "parse_hex", "std::from_chars"), "at most 0.5")
    add("`mixed16`, 1 to 16 digits",
        lambda s: ratio_text(s, "mixed16", "parse_hex u64", "std::from_chars u64"), "at most 0.5")
    add("`latency`, 8 digits, one waiting for the other",
        lambda s: ratio_text(s, "latency", "parse_hex", "std::from_chars"), "at most 1")
    lines.append("")
    lines.append("| buffers, GB/s and times the `std::from_chars` loop | %s | target |" %
                 " | ".join(builds))
    lines.append("|---|" + "---:|" * len(builds) + "---|")
    for workload, entry, loop, target in [
            ("bulk", "parse_hex_list", "memchr + std::from_chars", "at least 3 GB/s, 6 x"),
            ("bulk", "parse_hex_lines", "memchr + std::from_chars", "at least 3 GB/s, 6 x"),
            ("bulk_crlf", "parse_hex_lines", "memchr + std::from_chars", "at least 2.5 GB/s"),
            ("bulk32", "parse_hex_lines u32", "memchr + std::from_chars u32", ""),
            ("words", "parse_hex_words", "white space + std::from_chars", "at least 5 x")]:
        cells = []
        for s in suites:
            rate = s.table.get(workload, {}).get(entry)
            cells.append("n/a" if rate is None else "%.2f GB/s, %s x" % (
                rate / 1e9, rate_ratio(s, workload, entry, loop)))
        lines.append("| `%s`: `%s` | %s | %s |" % (workload, entry, " | ".join(cells), target))
    return "\n".join(lines)


def family(name):
    """Whose a contestant is: hexrace's list and number functions are one library; the others
    each their own call, whatever its width."""
    if name.startswith("parse_hex"):
        return "hexrace::parse"
    return name.split(" [")[0].replace(" u64", "").replace(" u32", "")


def verdict(suite):
    """For each workload, the fastest validated parser, its figure, how many times as fast it is
    as std::from_chars (its loop, for buffers) and as the next validated parser of another
    family, as timed (the loop and the call included), and the fastest unvalidated trick beside
    it for scale."""
    lines = ["| workload | fastest validated parser | time | x `std::from_chars` | "
             "x next validated | fastest unvalidated trick, for scale |",
             "|---|---|---:|---:|---|---|"]
    for workload, row in suite.table.items():
        rate = workload in BUFFERS
        if workload.startswith("len") or workload == "C0000000":
            continue
        contestants = [(n, v) for n, v in row.items() if n != FLOOR and "[" not in n]
        # Fastest first: shortest time, or highest rate.
        contestants.sort(key=lambda item: -item[1] if rate else item[1])
        parsers = [(n, v) for n, v in contestants if suite.validated(n)]
        tricks = [(n, v) for n, v in contestants if suite.kinds.get(n) == TRICK]
        if not parsers:
            continue
        best, figure = parsers[0]
        others = [(n, v) for n, v in parsers if family(n) != family(best)]
        reference = next((n for n, _ in parsers if "from_chars" in n), None)

        def as_fast(other):  # as timed, loop and call included: what a user's loop sees
            if other is None:
                return "n/a"
            return "%.2f" % (figure / row[other] if rate else row[other] / figure)

        shown = "%.2f GB/s" % (figure / 1e9) if rate else "%.1f ns" % figure
        next_one = "%s (`%s`)" % (as_fast(others[0][0]), others[0][0]) if others else "n/a"
        trick = ("`%s`, %s" % (tricks[0][0], "%.1f ns" % tricks[0][1]) if tricks else "none")
        note = WORKLOAD_NOTES.get(workload) or BUFFERS.get(workload, "")
        lines.append("| `%s` (%s) | `%s` | %s | %s | %s | %s |" % (
            workload, note, best, shown, as_fast(reference), next_one, trick))
    return "\n".join(lines)


COLOURS = ["#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#8c564b", "#e377c2", "#17becf",
           "#bcbd22", "#ff7f0e", "#393b79", "#637939", "#843c39"]
TRICK_COLOUR = "#9a9a9a"


def charts(suite, directory, caption):
    import matplotlib
    matplotlib.use("Agg")
    matplotlib.rcParams["svg.fonttype"] = "none"  # text stays text, names findable
    matplotlib.rcParams["svg.hashsalt"] = "hexrace"  # the same file from the same figures
    import matplotlib.lines as mlines
    import matplotlib.pyplot as plt

    table = suite.table
    lengths = ["len%d" % n for n in range(1, 17)]
    # The validated parsers in colour, one colour each, solid for 32 bits and dashed for 64; the
    # tricks in grey, for scale.
    def colour_key(name):  # a parser's 32- and 64-bit forms share their colour
        return "strtoul" if name == "strtoull" else name.replace(" u64", "")

    fig, ax = plt.subplots(figsize=(11, 7))
    keys = []
    for name in names_in(table, lengths):
        if suite.validated(name) and colour_key(name) not in keys:
            keys.append(colour_key(name))
    for name in names_in(table, lengths):
        points = [(n + 1, table[w][name]) for n, w in enumerate(lengths)
                  if w in table and name in table[w]]
        if not points:
            continue
        wide = " u64" in name or name == "strtoull"
        if suite.validated(name):
            colour = COLOURS[keys.index(colour_key(name)) % len(COLOURS)]
            ax.plot([p[0] for p in points], [p[1] for p in points], color=colour,
                    linestyle="--" if wide else "-", marker="o", markersize=4, label=name,
                    gid="validated")
        else:
            ax.plot([p[0] for p in points], [p[1] for p in points], color=TRICK_COLOUR,
                    linestyle=":", marker="^", markersize=4, linewidth=1, label=name + " (trick)",
                    gid="unvalidated")
    ax.set_yscale("log")
    ax.set_xlabel("digits")
    ax.set_ylabel("ns per conversion (best of the repetitions, log scale)")
    ax.set_xticks(range(1, 17))
    ax.grid(True, which="both", axis="y", alpha=0.3)
    ax.set_title("Time per conversion against the number of digits: validated parsers in "
                 "colour (dashed: 64 bits), unvalidated tricks in grey")
    ax.legend(fontsize="small", ncol=3, loc="upper left", bbox_to_anchor=(0, -0.1))
    fig.text(0.01, 0.005, caption, fontsize="x-small")
    fig.tight_layout()
    fig.savefig("%s/lengths.svg" % directory, metadata={"Date": None})
    plt.close(fig)

    panels = [w for w in ["mixed", "latency", "mixed16", "corpus"] + list(BUFFERS)
              if w in table]
    rows = [[(k, v) for k, v in table[w].items() if k != FLOOR] for w in panels]
    heights = [max(2, 0.28 * len(r) + 0.9) for r in rows]
    fig, axes = plt.subplots(len(panels), 1, figsize=(10, sum(heights)),
                             gridspec_kw={"height_ratios": heights}, squeeze=False)
    for ax, workload, row in zip(axes[:, 0], panels, rows):
        rate = workload in BUFFERS
        row.sort(key=lambda item: -item[1] if rate else item[1])
        values = [v / 1e9 if rate else v for _, v in row]
        ys = list(range(len(row)))
        for y, (name, _), value in zip(ys, row, values):
            validated = suite.validated(name)
            colour = COLOURS[0] if validated else TRICK_COLOUR
            gid = "validated" if validated else "unvalidated"
            if rate:
                ax.barh(y, value, color=colour, gid=gid)
            else:
                ax.plot([value], [y], marker="o" if validated else "^", color=colour,
                        markersize=7, linestyle="none", gid=gid)
            ax.annotate("%.2f" % value if rate else "%.1f" % value, (value, y),
                        xytext=(5, 0), textcoords="offset points", va="center",
                        fontsize="small")
        ax.set_yticks(ys)
        ax.set_yticklabels([name for name, _ in row], fontsize="small")
        ax.invert_yaxis()
        note = WORKLOAD_NOTES.get(workload) or BUFFERS.get(workload, "")
        ax.set_title("%s: %s" % (workload, note), fontsize="medium", loc="left")
        if rate:
            ax.set_xlabel("GB/s (longer is faster)")
            ax.set_xlim(0, max(values) * 1.15)
        else:
            ax.set_xscale("log")
            ax.set_xlabel("ns per conversion, log scale (left is faster)")
            ax.set_xlim(min(values) / 1.3, max(values) * 2.5)
            ax.grid(True, which="both", axis="x", alpha=0.3)
    legend = [mlines.Line2D([], [], color=COLOURS[0], marker="o", linestyle="none",
                            label="validated parser (checks its input)"),
              mlines.Line2D([], [], color=TRICK_COLOUR, marker="^", linestyle="none",
                            label="unvalidated trick (for scale; takes anything)")]
    axes[0, 0].legend(handles=legend, loc="upper right", fontsize="small")
    fig.text(0.01, 0.002, caption, fontsize="x-small")
    fig.tight_layout(rect=(0, 0.01, 1, 1))
    fig.savefig("%s/workloads.svg" % directory, metadata={"Date": None})
    plt.close(fig)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("json", nargs="+")
    parser.add_argument("--charts", metavar="DIR")
    parser.add_argument("--caption", default="")
    parser.add_argument("--builds", default="")
    parser.add_argument("--part", choices=["times", "ratios", "verdict"], default="times")
    args = parser.parse_args()
    suites = [Suite(path) for path in args.json]
    if args.part == "ratios":
        builds = args.builds.split(",") if args.builds else ["build %d" % (i + 1)
                                                             for i in range(len(suites))]
        print(ratios(suites, builds))
    elif args.part == "verdict":
        print(verdict(suites[0]))
    else:
        print(times(suites[0]))
    if args.charts:
        charts(suites[0], args.charts, args.caption)
    return 0


if __name__ == "__main__":
    sys.exit(main())

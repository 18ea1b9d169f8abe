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
# Hex text to bytes and back, in GB/s of text: read, for decoding; written, for encoding.
BYTES = OrderedDict([("decode", "1 MiB of hex text to bytes"),
                     ("decode_spaced", "the same bytes as xxd -p writes them"),
                     ("encode", "512 KiB of bytes to hex text")])
RATES = list(BUFFERS) + list(BYTES)
TEXTS32 = ["C0000000"] + ["len%d" % n for n in range(1, 9)] + ["mixed", "latency", "corpus"]
TEXTS64 = ["len%d" % n for n in range(1, 17)] + ["mixed16", "corpus"]
# One table each: their rows are calls of their own.
WRITTEN = ["prefixed", "len32", "digest"]
WORKLOAD_NOTES = {
    "C0000000": "the race's text",
    "mixed": "1 to 8 digits, 32 bits",
    "latency": "8 digits, each waiting for the one before",
    "mixed16": "1 to 16 digits, 64 bits",
    "corpus": "the user's own texts",
    "prefixed": "0x and 1 to 16 digits, 64 bits",
    "len32": "32 digits, 128 bits",
    "digest": "64 digits to 32 bytes, a call each",
}
# The race's four and the suite's own two unvalidated tricks, each in a shape and shade of its
# own; the calls a user would make anyway in a colour of their own.
TRICK_STYLES = OrderedDict([("atodw", ("^", "#5f5f5f")), ("vumo_short", ("v", "#7a7a7a")),
                            ("pardu_long", ("s", "#959595")), ("wefra_short", ("D", "#4a4a4a")),
                            ("table_loop", ("P", "#aaaaaa")), ("swar", ("X", "#6b6b6b"))])
USUAL_CALLS = ("std::from_chars", "strtoul", "strtoull")
USUAL_COLOUR = "#ff7f0e"
PATHS = ("[avx512]", "[avx2]", "[ssse3]", "[neon]", "[portable]")


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
            rate = workload in RATES
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


def rates_markdown(suite, workloads):
    present = [b for b in workloads if b in suite.table]
    names = names_in(suite.table, present)
    lines = ["| GB/s | %s |" % " | ".join("`%s`" % b for b in present),
             "|---|" + "---:|" * len(present)]
    for name in names:
        cells = ["%.2f" % (suite.table[b][name] / 1e9) if name in suite.table[b] else ""
                 for b in present]
        lines.append("| `%s` | %s |" % (name, " | ".join(cells)))
    return "\n".join(lines)


def buffers_markdown(suite):
    return rates_markdown(suite, BUFFERS)


def written_markdown(suite):
    """Each workload of numbers as people write them, and the digests, in a table of its own."""
    tables = []
    for workload in WRITTEN:
        row = suite.table.get(workload)
        if row:
            lines = ["| ns, `%s` (%s) | time |" % (workload, WORKLOAD_NOTES[workload]),
                     "|---|---:|"]
            lines += ["| `%s` | %.1f |" % (name, value) for name, value in row.items()]
            tables.append("\n".join(lines))
    return "\n\n".join(tables)


def times(suite):
    parts = [markdown(suite, TEXTS32, "ns per conversion, 32 bits", False),
             markdown(suite, TEXTS64, "ns per conversion, 64 bits", True),
             buffers_markdown(suite)]
    if any(w in suite.table for w in BYTES):
        parts.append(rates_markdown(suite, BYTES))
    if any(w in suite.table for w in WRITTEN):
        parts.append(written_markdown(suite))
    return "\n\n".join(parts)


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
    lines.append("")
    lines.append("| numbers as people write them, ns and times `std::from_chars` | %s | target |" %
                 " | ".join(builds))
    lines.append("|---|" + "---:|" * len(builds) + "---|")
    for workload, entry, reference in [
            ("prefixed", "parse_hex Prefix::required", "std::from_chars after stripping 0x"),
            ("len32", "parse_hex u128", "std::from_chars, two halves")]:
        cells = []
        for s in suites:
            time = s.table.get(workload, {}).get(entry)
            cells.append("n/a" if time is None else "%.1f ns, %s" % (
                time, ratio_text(s, workload, entry, reference)))
        lines.append("| `%s`: `%s` | %s | below 1 |" % (workload, entry, " | ".join(cells)))
    lines.append("")
    lines.append("| bytes, and times the fastest validating peer | %s | target |" %
                 " | ".join(builds))
    lines.append("|---|" + "---:|" * len(builds) + "---|")
    for workload, entry, target in [
            ("decode", "decode_hex", "at least 25 GB/s and half of memcpy, 10 x"),
            ("decode", "decode_hex [avx2]", "at least 15 GB/s"),
            ("decode_spaced", "decode_hex_spaced", "at least 10 GB/s, 10 x"),
            ("encode", "encode_hex", "at least 30 GB/s, 10 x"),
            ("digest", "decode_hex", "at most 5 ns, 10 x")]:
        cells = [bytes_cell(s, workload, entry) for s in suites]
        lines.append("| `%s`: `%s` | %s | %s |" % (workload, entry, " | ".join(cells), target))
    return "\n".join(lines)


def bytes_cell(suite, workload, entry):
    """An entry's figure in a bytes workload, and how many times the fastest peer of another
    library that validates (and, for rates, memcpy's share)."""
    row = suite.table.get(workload, {})
    if entry not in row:
        return "n/a"
    rate = workload in RATES
    peers = [(n, v) for n, v in row.items() if suite.validated(n) and family(n) != family(entry)]
    if not peers:
        return ("%.2f GB/s" % (row[entry] / 1e9)) if rate else ("%.1f ns" % row[entry])
    best_peer = max(v for _, v in peers) if rate else min(v for _, v in peers)
    times_peer = row[entry] / best_peer if rate else best_peer / row[entry]
    if not rate:
        return "%.1f ns, %.0f x" % (row[entry], times_peer)
    share = ", %.0f%% of memcpy" % (100 * row[entry] / row["memcpy"]) if "memcpy" in row else ""
    return "%.2f GB/s, %.0f x%s" % (row[entry] / 1e9, times_peer, share)


def family(name):
    """Whose a contestant is: hexrace's list, number and byte functions are one library; the
    others each their own call, whatever its width."""
    if name.startswith(("parse_hex", "decode_hex", "encode_hex")):
        return "hexrace::parse"
    return name.split(" [")[0].replace(" u64", "").replace(" u32", "")


def width(name):
    """A row's width suffix (" u32", " u64", " u128"), or "" for a workload's default width."""
    last = name.rsplit(" ", 1)[-1]
    return last if last in ("u32", "u64", "u128") else ""


def verdict(suite):
    """For each workload, the fastest validated parser, its figure, how many times as fast it is
    as std::from_chars (its loop, for buffers) and as the next validated parser of another
    family, as timed (the loop and the call included), and the fastest unvalidated trick beside
    it for scale."""
    lines = ["| workload | fastest validated parser | time | x `std::from_chars` | "
             "x next validated | fastest unvalidated trick, for scale |",
             "|---|---|---:|---:|---|---|"]
    for workload, row in suite.table.items():
        rate = workload in RATES
        if workload in ["len%d" % n for n in range(1, 17)] or workload == "C0000000":
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
        # std::from_chars of the winner's width where the workload times more than one.
        references = [n for n, _ in parsers if "from_chars" in n or "to_chars" in n]
        reference = next((n for n in references if width(n) == width(best)),
                         references[0] if references else None)

        def as_fast(other):  # as timed, loop and call included: what a user's loop sees
            if other is None:
                return "n/a"
            return "%.2f" % (figure / row[other] if rate else row[other] / figure)

        shown = "%.2f GB/s" % (figure / 1e9) if rate else "%.1f ns" % figure
        next_one = "%s (`%s`)" % (as_fast(others[0][0]), others[0][0]) if others else "n/a"
        trick = ("`%s`, %s" % (tricks[0][0], "%.2f GB/s" % (tricks[0][1] / 1e9) if rate else
                               "%.1f ns" % tricks[0][1]) if tricks else "none")
        note = WORKLOAD_NOTES.get(workload) or BUFFERS.get(workload) or BYTES.get(workload, "")
        lines.append("| `%s` (%s) | `%s` | %s | %s | %s | %s |" % (
            workload, note, best, shown, as_fast(reference), next_one, trick))
    return "\n".join(lines)


COLOURS = ["#2ca02c", "#9467bd", "#8c564b", "#e377c2", "#17becf", "#bcbd22", "#d62728",
           "#393b79", "#637939", "#843c39"]
HEXRACE_COLOUR = "#1f77b4"
LIMIT_COLOUR = "#000000"
TRICK_COLOUR = "#9a9a9a"
LIMIT = "limit"


def dispatched_twins(names):
    """The rows that repeat a library entry's own row: for each entry timed on each path too, the
    first path listed, which is the one its dispatch takes (paths are listed best first, only
    those this CPU runs). parse_hex's [portable] is another kernel, not a twin."""
    twins, seen = set(), set()
    for name in names:
        base, bracket, _ = name.partition(" [")
        if bracket and not name.startswith("parse_hex [") and not name.startswith("parse_hex u64 ["):
            if base not in seen and base in names:
                twins.add(name)
            seen.add(base)
    return twins


def style_of(suite, name):
    """(colour, marker, line style, gid): hexrace's own in one colour, the calls a user would make
    anyway in another, the other validated parsers each in one of their own, each trick in a shape
    and shade of its own, the memcpy limit in black."""
    kind = suite.kinds.get(name)
    base = name.split(" [")[0].replace(" u64", "").replace(" u32", "")
    if kind == LIMIT:
        return LIMIT_COLOUR, "|", "-", "limit"
    if kind == TRICK:
        marker, shade = TRICK_STYLES.get(base, ("^", TRICK_COLOUR))
        return shade, marker, ":", "unvalidated"
    if family(name) == "hexrace::parse":
        return HEXRACE_COLOUR, "o", "-", "validated"
    if base in USUAL_CALLS or base.startswith("std::from_chars"):
        return USUAL_COLOUR, "o", "-", "usual"
    others = sorted({family(n) for n in suite.kinds if suite.validated(n) and
                     family(n) != "hexrace::parse" and n.split(" [")[0] not in USUAL_CALLS})
    index = others.index(family(name)) if family(name) in others else 0
    return COLOURS[index % len(COLOURS)], "o", "-", "validated"


def log_ticks(ax, axis):
    """Ticks at 1, 2 and 5 of every power of ten, labelled, so that no two are more than a
    factor of 2.5 apart."""
    import matplotlib.ticker as ticker
    which = ax.yaxis if axis == "y" else ax.xaxis
    which.set_major_locator(ticker.LogLocator(base=10, subs=(1.0, 2.0, 5.0)))
    which.set_major_formatter(ticker.FuncFormatter(lambda v, _: "%g" % v))
    which.set_minor_formatter(ticker.NullFormatter())


def charts(suite, directory, caption):
    import matplotlib
    matplotlib.use("Agg")
    matplotlib.rcParams["svg.fonttype"] = "none"  # text stays text, names findable
    matplotlib.rcParams["svg.hashsalt"] = "hexrace"  # the same file from the same figures
    import matplotlib.lines as mlines
    import matplotlib.pyplot as plt

    table = suite.table
    lengths = ["len%d" % n for n in range(1, 17)]
    fig, ax = plt.subplots(figsize=(11, 7))
    for name in names_in(table, lengths):
        points = [(n + 1, table[w][name]) for n, w in enumerate(lengths)
                  if w in table and name in table[w]]
        if not points:
            continue
        colour, marker, line, gid = style_of(suite, name)
        wide = " u64" in name or name == "strtoull"
        ax.plot([p[0] for p in points], [p[1] for p in points], color=colour,
                linestyle="--" if wide and gid != "unvalidated" else line, marker=marker,
                markersize=5, linewidth=1 if gid == "unvalidated" else 1.5,
                label=name + (" (trick)" if gid == "unvalidated" else ""), gid=gid)
    ax.set_yscale("log")
    log_ticks(ax, "y")
    ax.set_xlabel("digits")
    ax.set_ylabel("ns per conversion (best of the repetitions, log scale)")
    ax.set_xticks(range(1, 17))
    ax.grid(True, which="major", axis="y", alpha=0.3)
    ax.set_title("Time per conversion against the number of digits: hexrace::parse in blue, "
                 "std::from_chars and strtoul in orange (dashed: 64 bits), tricks in grey")
    ax.legend(fontsize="small", ncol=3, loc="upper left", bbox_to_anchor=(0, -0.1))
    fig.text(0.01, 0.005, caption, fontsize="x-small")
    fig.tight_layout()
    fig.savefig("%s/lengths.svg" % directory, metadata={"Date": None})
    plt.close(fig)

    panels = [w for w in ["mixed", "latency", "mixed16", "corpus"] + WRITTEN + RATES if w in table]
    rows = []
    for w in panels:
        twins = dispatched_twins(list(table[w]))
        rows.append([(k, v) for k, v in table[w].items() if k != FLOOR and k not in twins])
    heights = [max(2, 0.28 * len(r) + 0.9) for r in rows]
    fig, axes = plt.subplots(len(panels), 1, figsize=(10, sum(heights)),
                             gridspec_kw={"height_ratios": heights}, squeeze=False)
    for ax, workload, row in zip(axes[:, 0], panels, rows):
        rate = workload in RATES
        row.sort(key=lambda item: -item[1] if rate else item[1])
        values = [v / 1e9 if rate else v for _, v in row]
        ys = list(range(len(row)))
        for y, (name, _), value in zip(ys, row, values):
            colour, marker, _, gid = style_of(suite, name)
            if rate:
                ax.barh(y, value, color=colour, gid=gid)
            else:
                ax.plot([value], [y], marker=marker, color=colour, markersize=7,
                        linestyle="none", gid=gid)
            ax.annotate("%.2f" % value if rate else "%.1f" % value, (value, y),
                        xytext=(5, 0), textcoords="offset points", va="center",
                        fontsize="small")
        ax.set_yticks(ys)
        ax.set_yticklabels([name for name, _ in row], fontsize="small")
        ax.invert_yaxis()
        note = WORKLOAD_NOTES.get(workload) or BUFFERS.get(workload) or BYTES.get(workload, "")
        ax.set_title("%s: %s" % (workload, note), fontsize="medium", loc="left")
        if rate:
            ax.set_xlabel("GB/s (longer is faster)")
            ax.set_xlim(0, max(values) * 1.15)
        else:
            ax.set_xscale("log")
            log_ticks(ax, "x")
            ax.set_xlabel("ns, log scale (left is faster)")
            ax.set_xlim(min(values) / 1.3, max(values) * 2.5)
            ax.grid(True, which="major", axis="x", alpha=0.3)
    legend = [mlines.Line2D([], [], color=HEXRACE_COLOUR, marker="o", linestyle="none",
                            label="hexrace::parse"),
              mlines.Line2D([], [], color=USUAL_COLOUR, marker="o", linestyle="none",
                            label="std::from_chars, strtoul: what people use"),
              mlines.Line2D([], [], color=COLOURS[0], marker="o", linestyle="none",
                            label="other validated parsers"),
              mlines.Line2D([], [], color=TRICK_COLOUR, marker="^", linestyle="none",
                            label="unvalidated trick (for scale; takes anything)"),
              mlines.Line2D([], [], color=LIMIT_COLOUR, marker="|", linestyle="none",
                            label="memcpy: the limit")]
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
    if args.charts:
        # Before any table is printed: a pyenv or virtual environment first on the path often
        # lacks the system's matplotlib.
        try:
            import matplotlib  # noqa: F401
        except ImportError:
            sys.exit("report.py: --charts needs matplotlib, which %s lacks (Debian: "
                     "python3-matplotlib, for /usr/bin/python3)" % sys.executable)
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

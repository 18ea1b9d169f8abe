#!/usr/bin/env python3
"""The chart script on a small sample of the suite's JSON: both charts are well-formed SVG, every
contestant of the sample is named in them, as text a reader and a search can find, but for a
path's row that repeats its entry's own (one row per distinct road); hexrace's parsers, the calls
people use anyway (std::from_chars, strtoul) and the unvalidated tricks are drawn in colours of
their own, each trick in a shade of its own; and a log axis has a labelled tick at least every
factor of 2.5.

Usage: charts_test.py REPORT_PY SAMPLE_JSON
"""

import json
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"


def colours_of(root, kind):
    """The fill and stroke colours of everything drawn in the groups of one kind of contestant."""
    found = set()
    for group in root.iter(SVG + "g"):
        if group.get("id") == kind:
            for element in group.iter():
                found |= set(re.findall(r"(?:fill|stroke): (#[0-9a-f]{6})", element.get("style", "")))
    return found


def log_ticks_apart(root, axis):
    """The largest factor between neighbouring labelled ticks of every log axis of `axis`."""
    worst = 1.0
    labels = []
    for group in root.iter(SVG + "g"):
        if (group.get("id") or "").startswith(axis + "tick_"):
            text = "".join("".join(t.itertext()) for t in group.iter(SVG + "text"))
            labels.append(float(text) if text else None)
    # One axis after another: a run of labels that grows, each run one axis.
    run = []
    for value in labels + [None]:
        if value is not None and (not run or value > run[-1]):
            run.append(value)
            continue
        if len(run) > 2 and run[0] > 0 and run[-1] / run[0] > 10:  # a log axis
            worst = max([worst] + [b / a for a, b in zip(run, run[1:])])
        run = [value] if value is not None else []
    return worst


def main():
    report, sample = sys.argv[1], sys.argv[2]
    with open(sample, encoding="utf-8") as f:
        runs = json.load(f)["benchmarks"]
    runs.sort(key=lambda run: run.get("family_index", 0))  # the order the suite listed them
    contestants = {run["run_name"].partition("/")[2] for run in runs}
    contestants.discard("(loop and call only)")
    tricks = {run["run_name"].partition("/")[2] for run in runs if run.get("label") == "unvalidated"}
    # A path's row that its entry's dispatch takes: the first path listed for an entry.
    twins, seen = set(), set()
    for name in (run["run_name"].partition("/")[2] for run in runs):
        base, bracket, _ = name.partition(" [")
        if bracket and base in contestants and not base.startswith("parse_hex u") and \
                base != "parse_hex" and base not in seen:
            twins.add(name)
        if bracket:
            seen.add(base)
    with tempfile.TemporaryDirectory() as charts:
        subprocess.run([sys.executable, report, sample, "--charts", charts], check=True,
                       stdout=subprocess.DEVNULL)
        named = set()
        for chart in ("lengths.svg", "workloads.svg"):
            root = ElementTree.parse("%s/%s" % (charts, chart)).getroot()  # raises if not XML
            if root.tag != SVG + "svg":
                print("%s: the root is %s, not svg" % (chart, root.tag))
                return 1
            named |= {"".join(text.itertext()) for text in root.iter(SVG + "text")}
            validated, usual = colours_of(root, "validated"), colours_of(root, "usual")
            shades = colours_of(root, "unvalidated")
            if not validated or not usual or not shades or validated & shades or \
                    usual & (validated | shades):
                print("%s: parsers drawn in %s, the usual calls in %s, tricks in %s: not told "
                      "apart" % (chart, sorted(validated), sorted(usual), sorted(shades)))
                return 1
            if chart == "lengths.svg" and len(shades) < len(tricks):
                print("%s: %d tricks in %d shades" % (chart, len(tricks), len(shades)))
                return 1
            apart = log_ticks_apart(root, "y" if chart == "lengths.svg" else "x")
            if apart > 2.5:
                print("%s: labelled ticks a factor of %.1f apart" % (chart, apart))
                return 1
    missing = sorted(c for c in contestants - twins
                     if c not in named and c + " (trick)" not in named)
    if missing:
        print("not named in the charts: %s" % ", ".join(missing))
        return 1
    repeated = sorted(twins & named)
    if repeated:
        print("rows that repeat their entry's own: %s" % ", ".join(repeated))
        return 1
    print("both charts well-formed, parsers, usual calls and tricks told apart, ticks close; "
          "all %d distinct rows named" % len(contestants - twins))
    return 0


if __name__ == "__main__":
    sys.exit(main())

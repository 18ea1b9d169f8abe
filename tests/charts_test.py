#!/usr/bin/env python3
"""The chart script on a small sample of the suite's JSON: both charts are well-formed SVG, every
contestant of the sample is named in them, as text a reader and a search can find, and the
validated parsers and the unvalidated tricks are drawn in colours of their own.

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


def main():
    report, sample = sys.argv[1], sys.argv[2]
    with open(sample, encoding="utf-8") as f:
        contestants = {run["run_name"].partition("/")[2] for run in json.load(f)["benchmarks"]}
    contestants.discard("(loop and call only)")
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
            validated, tricks = colours_of(root, "validated"), colours_of(root, "unvalidated")
            if not validated or not tricks or validated & tricks:
                print("%s: validated parsers drawn in %s, tricks in %s: not told apart" %
                      (chart, sorted(validated), sorted(tricks)))
                return 1
    missing = sorted(c for c in contestants
                     if c not in named and c + " (trick)" not in named)
    if missing:
        print("not named in the charts: %s" % ", ".join(missing))
        return 1
    print("both charts well-formed, parsers and tricks told apart; all %d contestants named" %
          len(contestants))
    return 0


if __name__ == "__main__":
    sys.exit(main())

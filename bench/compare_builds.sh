#!/bin/sh
# Builds the comparison suite twice, runs both builds and prints Google Benchmark's compare.py
# table of them, whose U test tells a difference from the noise.
# Usage: compare_builds.sh BUILD_A BUILD_B [HEXRACE_COMPARE_FLAGS...]
#   A build is a compiler, or a compiler, a colon and its optimisation flags (default -O3):
#     compare_builds.sh g++ clang++
#     compare_builds.sh g++:-O2 "g++:-O3 -march=native" --benchmark_filter='^mixed'
# Needs compare.py (Debian: libbenchmark-tools) and python3 with SciPy (python3-scipy).
set -eu
[ $# -ge 2 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
cd "$(dirname "$0")/.."
compare_py=${COMPARE_PY:-/usr/share/benchmark/compare.py}
[ -f "$compare_py" ] || { echo "no $compare_py: install libbenchmark-tools" >&2; exit 1; }
python=/usr/bin/python3
[ -x "$python" ] || python=python3

build() {
    choice=$1 dir=$2
    compiler=${choice%%:*}
    flags=-O3
    case $choice in *:*) flags=${choice#*:} ;; esac
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER="$compiler" \
        -DCMAKE_CXX_FLAGS_RELEASE="$flags -DNDEBUG" -DHEXRACE_TESTS=OFF >/dev/null
    cmake --build "$dir" --target hexrace_compare >/dev/null
}

a=$1 b=$2
shift 2
build "$a" build/compare-a
build "$b" build/compare-b
for side in a b; do
    echo "running build $side ..." >&2
    build/compare-$side/bench/hexrace_compare --benchmark_out=build/compare-$side.json \
        --benchmark_out_format=json "$@" >/dev/null
done
echo "A: $a    B: $b"
# Aggregates only (the U test still uses every run); colours only on a terminal.
[ -t 1 ] && colour= || colour=--no-color
"$python" "$compare_py" -a $colour benchmarks build/compare-a.json build/compare-b.json

#!/bin/sh
# Installs the Debian packages that a part of the project needs, where they are missing; nothing
# that is there already is installed again and nothing is upgraded. The one list of what each
# part needs. As root it runs apt-get itself, otherwise through sudo.
# Usage: install-packages.sh PART...   (tests, package, windows, windows64, wine, cross, fuzz, compare;
#        ci: all)
set -eu

packages_for() {
    case $1 in
    # The test workflow: unit and end-to-end tests, the call count, the suite (with its peers from
    # Abseil, Boost and OpenSSL) and its charts, the parser's consumers (with clang++ too, and
    # through pkg-config), and qemu-x86_64 to run a program on the base x86-64 CPU.
    tests) echo libgtest-dev libbenchmark-dev valgrind libabsl-dev libboost-dev libssl-dev python3-matplotlib clang pkg-config qemu-user ;;
    # The Debian package, made with CPack and its dependencies found by dpkg-shlibdeps.
    package) echo dpkg-dev pkg-config ;;
    # The 32-bit Windows build, and the 32-bit Wine to run its tests.
    windows) echo g++-mingw-w64-i686-posix googletest ;;
    wine) echo wine wine32:i386 ;;
    # The 64-bit Windows build and the 64-bit Wine, which needs no i386 packages.
    windows64) echo g++-mingw-w64-x86-64-posix googletest wine wine64 ;;
    # The aarch64, s390x and 32-bit x86 Linux builds, tested under qemu.
    cross) echo g++-aarch64-linux-gnu g++-s390x-linux-gnu g++-i686-linux-gnu qemu-user googletest ;;
    fuzz) echo clang libclang-rt-dev ;;
    # Two builds of the suite side by side, and the call counts with both compilers.
    compare) echo clang libbenchmark-tools python3-scipy ;;
    ci) for part in tests package windows windows64 wine cross fuzz compare; do packages_for $part; done ;;
    *)
        echo "install-packages.sh: no part '$1' (tests, package, windows, windows64, wine, cross, fuzz, compare, ci)" >&2
        exit 2
        ;;
    esac
}

[ $# -gt 0 ] || set -- tests
wanted=$(for part in "$@"; do packages_for "$part"; done)

if ! command -v dpkg-query >/dev/null 2>&1; then
    echo "Not a Debian system: install the equivalents of these Debian packages yourself:" >&2
    echo "  $wanted" >&2
    exit 0
fi

missing=
for package in $wanted; do
    case " $missing " in *" $package "*) continue ;; esac
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true)
    case $status in ii*) ;; *) missing="$missing $package" ;; esac
done
[ -n "$missing" ] || exit 0

if [ "$(id -u)" -eq 0 ]; then
    as_root=
elif command -v sudo >/dev/null 2>&1; then
    as_root=sudo
    echo "Installing with sudo:$missing"
    if ! sudo true; then
        echo "sudo refused; install them as root (apt-get install$missing) and run this again." >&2
        exit 1
    fi
else
    echo "These Debian packages are missing:$missing" >&2
    echo "Install them as root (apt-get install$missing) and run this again." >&2
    exit 1
fi

case $missing in
*:i386*)
    dpkg --print-foreign-architectures | grep -qx i386 || $as_root dpkg --add-architecture i386
    ;;
esac
# A mirror that is half synchronised fails some indexes; the install below says if that matters.
$as_root apt-get update -q -o Acquire::Retries=3 ||
    echo "apt-get update reported errors; trying the install anyway" >&2
# shellcheck disable=SC2086 # one word per package
if ! $as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    -o Acquire::Retries=3 $missing; then
    echo "Could not install:$missing" >&2
    exit 1
fi

#!/bin/sh
# The README's test command: installs the Debian packages the tests need where they are missing,
# then builds everything and runs every test.
set -eu
cd "$(dirname "$0")/.."
scripts/install-packages.sh tests
exec cmake --workflow --preset test

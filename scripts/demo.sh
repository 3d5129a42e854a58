#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Ludaro's command line and runs it
# on the bundled sample data: the sample school's course table, in the order
# of its index.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
cmake -G Ninja -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DLUDARO_TESTS=OFF >/dev/null
ninja -C build/demo -j"$(nproc)" ludaro-cli >/dev/null
build/demo/cli/ludaro-cli dump samples/htemp/CURSOST.DBF --index CODCURSO

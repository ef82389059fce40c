#!/bin/bash
# Builds the libFuzzer targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (build/fuzz) and runs one reader's target on a
# copy of its seed corpus:
#   scripts/fuzz.sh document              # until stopped
#   scripts/fuzz.sh brush -runs=1000000   # further arguments go to libFuzzer
# Readers: document layer brush effect params options swatches palette shape
# sizeexpression template comiclayout snippet textstyles helpindex version order
# instancemessage.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
source "$here/deps.sh"
kalmi_install_packages
kalmi_install_packages "${KALMI_FUZZ_PACKAGES[@]}"

reader="${1:?which reader: see fuzz/CMakeLists.txt}"
shift
build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALMI_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
cmake --build "$build" --parallel 3 --target "fuzz_$reader"

# New inputs go to a working corpus; the seeds in the source tree stay as they are.
corpus="$build/corpus/$reader"
mkdir -p "$corpus" "$build/findings/$reader"
cp -n "$root/tests/data/fuzz/$reader/"* "$corpus/" 2>/dev/null || true
export QT_QPA_PLATFORM=offscreen
# Leaks are not looked for, per input or at exit: the framework keeps caches
# of its own until the process ends.
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
cd "$build/findings/$reader"
exec "$build/bin/fuzz_$reader" -rss_limit_mb=4096 -detect_leaks=0 "$@" "$corpus"

#!/usr/bin/env bash
# Installs what is missing, fuzzes the frame decoder and the file readers for a bounded time,
# builds and runs every test in the packager's optimised configuration, then builds every test with
# warnings as errors under AddressSanitizer and UndefinedBehaviorSanitizer and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
jobs=$(nproc)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# The fuzzer needs clang; it builds only the core and the fuzz targets.
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ -DVOLTRIX_FUZZ=ON -DVOLTRIX_TESTS=OFF -DVOLTRIX_BENCH=OFF >/dev/null
cmake --build build/fuzz -j"$jobs" --target fuzz_decoder fuzz_textreaders fuzz_xlsxreader fuzz_xlsreader fuzz_journal \
    fuzz_publish
# name:seconds:longest input. The receiver's frames are six bytes, so the frame reader needs no
# long inputs; workbooks do.
for target in decoder:"${VOLTRIX_FUZZ_SECONDS:-30}":512 textreaders:20:4096 xlsxreader:20:65536 xlsreader:20:65536 journal:20:4096 \
              publish:20:1024; do
    IFS=: read -r name seconds maxlen <<<"$target"
    mkdir -p "build/fuzz/corpus-$name"
    # The build corpus comes first: libFuzzer adds what it finds to the first folder only.
    "build/fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="$maxlen" -print_final_stats=1 \
        "build/fuzz/corpus-$name" "fuzz/seeds/$name" 2>&1 | tail -n 3
    echo "fuzz_$name: no finding in $seconds s"
done

# The packager's configuration: optimised, no sanitizers. It compiles what a Debug build does not
# (other warnings, templates instantiated elsewhere), so every test must build here too.
cmake -S . -B build/release-test -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOLTRIX_WERROR=ON \
      -DVOLTRIX_BENCH=OFF >/dev/null
cmake --build build/release-test -j"$jobs"
ctest --test-dir build/release-test --output-on-failure -j"$jobs"

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOLTRIX_WERROR=ON -DVOLTRIX_SANITIZE=ON >/dev/null
cmake --build build/test -j"$jobs"
# The test summary closes the output.
ctest --test-dir build/test --output-on-failure -j"$jobs"


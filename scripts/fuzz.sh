#!/usr/bin/env bash
# The sanitizer build and the fuzzing.
#
#   scripts/fuzz.sh [SECONDS]
#
# Builds one clang Debug tree with AddressSanitizer and UndefinedBehaviorSanitizer (build-fuzz/),
# runs the whole test suite in it, then every fuzz target for SECONDS each (default 60), starting
# from the seeds fuzz_make_seeds writes. Exits non-zero when a test fails or a target finds
# anything; the input that did it is kept in build-fuzz/findings/<target>/. The corpus each run
# grows is kept in build-fuzz/corpus/<target>/ for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
root="$PWD"
build="${VT_FUZZ_BUILD:-build-fuzz}"

bash scripts/bootstrap.sh --fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVT_SANITIZE=ON -DVT_FUZZ=ON \
    -DVT_ASSERTIONS=ON -DVT_TESTS=ON -DVT_BENCH=OFF ${VT_FUZZ_CMAKE_ARGS:-}
cmake --build "$build" -j"$(nproc)"

# Every report fatal and symbolised, any single allocation over 2 GB a report; leaks in the
# system's libraries are suppressed (fuzz/lsan.supp).
symbolizer="$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:max_allocation_size_mb=2048:strict_string_checks=1:check_initialization_order=1${symbolizer:+:external_symbolizer_path=$symbolizer}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${symbolizer:+:external_symbolizer_path=$symbolizer}"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
# Qt's own event loop rather than GLib's: the leak checker of clang 14 crashes on this glibc while
# it walks the thread-local storage of GLib's helper threads at exit ("Tracer caught signal 11").
export QT_NO_GLIB=1

ctest --test-dir "$build" --output-on-failure -j2

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
"$build/bin/fuzz_make_seeds" "$seeds"

failed=()
for target in "$build"/bin/fuzz_*; do
    name="$(basename "$target")"
    [ "$name" = fuzz_make_seeds ] && continue
    corpus="$build/corpus/$name"
    findings="$build/findings/$name"
    mkdir -p "$corpus" "$findings" "$seeds/$name"
    args=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=3072 -print_final_stats=1
          -artifact_prefix="$findings/")
    [ -f "fuzz/$name.dict" ] && args+=(-dict="fuzz/$name.dict")
    echo "== $name: ${seconds}s"
    if ! "$target" "${args[@]}" "$corpus" "$seeds/$name" > "$build/$name.log" 2>&1; then
        failed+=("$name")
        tail -n 60 "$build/$name.log"
    fi
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+.*DONE" "$build/$name.log" || true
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing found something in: ${failed[*]} (inputs in $build/findings/)" >&2
    exit 1
fi
echo "fuzzing: nothing found"

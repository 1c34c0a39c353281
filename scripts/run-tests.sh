#!/bin/bash
# Installs what is missing, then builds and runs every test: a normal build,
# an AddressSanitizer + UndefinedBehaviorSanitizer build, the threaded tests
# under ThreadSanitizer, and each fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs="$(nproc)"
export ZU_QUIET=1
export QT_QPA_PLATFORM=offscreen
fuzz_seconds="${ZU_FUZZ_SECONDS:-20}"

build_and_test() {
    local dir="$1"; shift
    local label="$1"; shift
    echo "=== ${dir} ==="
    cmake -S . -B "${dir}" "$@" >/dev/null
    cmake --build "${dir}" -j"${jobs}"
    (cd "${dir}" && ctest -j"${jobs}" --output-on-failure --timeout 300 ${label:+-L "${label}"})
}

build_and_test build "" -DCMAKE_BUILD_TYPE=RelWithDebInfo

ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    build_and_test build-asan "" -DCMAKE_BUILD_TYPE=Debug -DZU_SANITIZE=address

TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(pwd)/scripts/tsan.supp" \
    build_and_test build-tsan threads -DCMAKE_BUILD_TYPE=Debug -DZU_SANITIZE=thread

if [ -f fuzz/CMakeLists.txt ]; then
    echo "=== build-fuzz ==="
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DZU_FUZZ=ON -DZU_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build-fuzz -j"${jobs}"
    for target in build-fuzz/fuzz/*Fuzz; do
        [ -x "${target}" ] || continue
        name="$(basename "${target}")"
        corpus="$(pwd)/build-fuzz/corpus/${name}"
        mkdir -p "${corpus}"
        seeds="$(pwd)/fuzz/seeds/${name}"
        log="$(pwd)/build-fuzz/${name}.log"
        echo "fuzzing ${name} for ${fuzz_seconds}s"
        # A crash, a sanitizer report (undefined behaviour included), a leak
        # or a slow input ends the fuzzer with a non-zero status: the run
        # fails and shows the end of the output, the report with it.
        if ! UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 timeout -k 10 $((fuzz_seconds + 120)) "${target}" \
            -max_total_time="${fuzz_seconds}" -timeout=10 -artifact_prefix="$(pwd)/build-fuzz/" "${corpus}" \
            $( [ -d "${seeds}" ] && echo "${seeds}" ) 2>&1 | tail -n 120 >"${log}"; then
            cat "${log}"
            echo "FAILED: fuzzing ${name} (log: ${log}; input saved under build-fuzz/)"
            exit 1
        fi
        tail -n 3 "${log}"
    done
fi
echo "All builds and tests passed."

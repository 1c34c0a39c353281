#!/bin/bash
# Installs what is missing, then builds and runs every test: a normal build,
# each of its test binaries run once more whole and shuffled, an
# AddressSanitizer + UndefinedBehaviorSanitizer build, the threaded tests
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

# Each test binary of a build once more, run whole with its tests in a
# random order: no test may lean on one before it. The log shows the seed;
# ZU_SHUFFLE_SEED=N repeats an order.
run_shuffled() {
    local dir="$1" failed=0 binary log
    echo "=== ${dir}: every test binary whole, shuffled ==="
    while IFS= read -r binary; do
        log="${binary}.shuffled.log"
        if ! (cd "$(dirname "${binary}")" && timeout -k 10 600 "./$(basename "${binary}")" --gtest_shuffle \
                ${ZU_SHUFFLE_SEED:+--gtest_random_seed=${ZU_SHUFFLE_SEED}}) >"${log}" 2>&1; then
            # The seed, then the failures or the end of a run that stopped short.
            grep -m 1 "Randomizing tests' orders" "${log}" || true
            { grep -E "^\[  FAILED  \]|Failure" -A 4 "${log}" || tail -n 40 "${log}"; } | tail -n 80
            echo "FAILED: ${binary} shuffled (log: ${log})"
            failed=1
        fi
    done < <(find "${dir}/tests" -type f -perm -u+x -name '*_tests' | sort)
    return "${failed}"
}

build_and_test build "" -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_shuffled build

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

#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/, apart from the test build) and runs each with
# interleaved repetitions, reporting the median, mean and spread of the repetitions: a single
# run on a shared machine swings by a third, the median of interleaved runs holds from one run
# to the next. Further arguments go to every benchmark, e.g.
#   scripts/bench.sh --benchmark_filter=Refresh
#   BENCH_REPETITIONS=11 scripts/bench.sh
# The server_* benchmarks copy their account to a throwaway PostgreSQL server they start (or
# the one $USERDEF_TEST_PG names).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DUSERDEF_TESTS=OFF >/dev/null
targets=(catalogue_refresh editor_open hostdb_bench lookup_controls pub_bench sql_translate_bench
         print_export_bench value_fill rule_list carryover_matrix item_save login_bench package_bench
         server_refresh server_matrix server_save)
cmake --build build-bench --target "${targets[@]}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
steady=(--benchmark_repetitions="${BENCH_REPETITIONS:-7}" --benchmark_enable_random_interleaving=true
        --benchmark_report_aggregates_only=true)
for t in "${targets[@]}"; do
    echo "== $t"
    "build-bench/$t" "${steady[@]}" "$@"
done

#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/, apart from the test build) and runs them.
# Arguments go to every benchmark, e.g. scripts/bench.sh --benchmark_filter=Refresh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DUSERDEF_TESTS=OFF >/dev/null
targets=(catalogue_refresh editor_open hostdb_bench lookup_controls pub_bench sql_translate_bench
         print_export_bench value_fill carryover_matrix item_save login_bench)
cmake --build build-bench --target "${targets[@]}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
for t in "${targets[@]}"; do
    echo "== $t"
    "build-bench/$t" "$@"
done

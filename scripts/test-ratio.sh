#!/usr/bin/env bash
# Non-blank lines of C++ (.cpp and .h): the tests (tests/) against the code (everything else
# but bench/ and build folders), and the ratio between them.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true
}

tests=$(count tests)
code=$(count . \( -path ./tests -o -path ./bench -o -path './build*' -o -path ./.git \) -prune -o)
echo "test lines: $tests"
echo "code lines: $code"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio:      %.1f %%\n", c ? 100 * t / c : 0 }'

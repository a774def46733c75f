#!/usr/bin/env bash
# Fails when a C++ source of the project is not formatted as the checked-in .clang-format says,
# naming each such file. Formatting differs between clang-format versions, so this takes Debian
# 12's, version 14 (scripts/install-deps.sh). Fix a file with: clang-format -i FILE
set -euo pipefail
cd "$(dirname "$0")/.."

if ! clang-format --version | grep -q 'version 14\.'; then
    echo "check-format: needs clang-format 14, found: $(clang-format --version)" >&2
    exit 1
fi
mapfile -d '' files < <(git ls-files -z -- {src,tests,bench,fuzz,tools}/'*'.{cpp,h})
if ! diagnostics=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
    echo "check-format: not formatted (clang-format -i FILE...):" >&2
    grep -oE '^[^:]+:[0-9]+:[0-9]+: error' <<<"$diagnostics" | cut -d: -f1 | sort -u | sed 's/^/    /' >&2 ||
        printf '%s\n' "$diagnostics" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"

#!/usr/bin/env bash
# Checks that every C++ file follows the repository's .clang-format; lists the
# files that do not and exits non-zero. Fix them with: clang-format -i FILE...
# CLANG_FORMAT chooses the clang-format binary.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$OSTRIVANE_ROOT"
clang_format=${CLANG_FORMAT:-clang-format}
command -v "$clang_format" >/dev/null 2>&1 ||
    fail "clang-format was not found. On Debian or Ubuntu install it with: sudo apt-get install clang-format"

# The tracked files in a clone, every file outside build folders otherwise.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    list=(git ls-files -z -- '*.cpp' '*.h')
else
    list=(find . -path './build' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
fi
files=()
while IFS= read -r -d '' file; do
    [ -f "$file" ] && files+=("$file")
done < <("${list[@]}" | sort -z)
[ ${#files[@]} -gt 0 ] || fail "no C++ files found to check"

unformatted=()
for file in "${files[@]}"; do
    if ! "$clang_format" --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done

if [ ${#unformatted[@]} -ne 0 ]; then
    echo "These files do not follow .clang-format ($("$clang_format" --version | head -n 1)):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    echo "Fix them with: clang-format -i ${unformatted[*]}" >&2
    exit 1
fi
echo "Formatting: ${#files[@]} C++ files follow .clang-format."

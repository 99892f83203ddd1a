#!/usr/bin/env bash
# Checks the GitHub workflows, .github/workflows/*.yml, against GitHub's own
# schemas with action-validator (npm's @action-validator/cli, installed into
# build-ci/node/ on first use), since they cannot run here.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
command -v npm >/dev/null 2>&1 || ensure_packages npm
node_dir=$OSTRIVANE_ROOT/build-ci/node
validator=$node_dir/node_modules/.bin/action-validator
if [ ! -x "$validator" ]; then
    mkdir -p "$node_dir"
    echo "Installing @action-validator/cli from npm into $node_dir"
    (cd "$node_dir" && npm install --no-audit --no-fund --silent @action-validator/cli@0.6.0 >/dev/null)
fi
shopt -s nullglob
workflows=("$OSTRIVANE_ROOT"/.github/workflows/*.yml)
[ ${#workflows[@]} -gt 0 ] || { echo "workflow-check: no workflows in .github/workflows" >&2; exit 1; }
status=0
for workflow in "${workflows[@]}"; do
    if ! "$validator" "$workflow"; then
        echo "workflow-check: ${workflow#"$OSTRIVANE_ROOT"/} is not a valid GitHub workflow (above)" >&2
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "workflow-check: ${#workflows[@]} workflows valid"
exit "$status"

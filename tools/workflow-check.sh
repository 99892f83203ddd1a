#!/usr/bin/env bash
# Checks the GitHub workflows, .github/workflows/*.yml, against GitHub's own
# schemas with action-validator (npm's @action-validator/cli, one of the npm
# packages that tests/web/node.sh installs), since they cannot run here.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
bash "$OSTRIVANE_ROOT/tests/web/node.sh" --install
validator=${OSTRIVANE_NODE_DIR:-$OSTRIVANE_ROOT/build/node}/node_modules/.bin/action-validator
shopt -s nullglob
workflows=("$OSTRIVANE_ROOT"/.github/workflows/*.yml)
[ ${#workflows[@]} -gt 0 ] || fail "no workflows in .github/workflows"
status=0
for workflow in "${workflows[@]}"; do
    if ! "$validator" "$workflow"; then
        echo "workflow-check: ${workflow#"$OSTRIVANE_ROOT"/} is not a valid GitHub workflow (above)" >&2
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "workflow-check: ${#workflows[@]} workflows valid"
exit "$status"

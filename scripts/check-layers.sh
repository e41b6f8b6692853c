#!/usr/bin/env bash
# Fails when a folder under src/ includes a folder above it. The folders, bottom up:
#   platform < core < store < ui < capture < ops < app
# Each may include itself and those below; the platform backends include only the platform.
set -euo pipefail
SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/../src" && pwd)
LAYERS=(platform core store ui capture ops app)

rank() {
    local i
    for i in "${!LAYERS[@]}"; do [ "${LAYERS[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo -1
}

status=0
while IFS= read -r file; do
    rel=${file#"$SRC"/}
    layer=${rel%%/*}
    own=$(rank "$layer")
    if [ "$own" -lt 0 ]; then
        echo "src/$rel: folder '$layer' is not one of the layers (${LAYERS[*]})"
        status=1
        continue
    fi
    while IFS= read -r included; do
        target=${included%%/*}
        [ "$target" = "$included" ] && continue   # a system or library header
        other=$(rank "$target")
        [ "$other" -lt 0 ] && continue
        if [ "$other" -gt "$own" ]; then
            echo "src/$rel includes \"$included\": $layer may not include $target, which is above it"
            status=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$SRC" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

[ $status -eq 0 ] && echo "layers: every folder includes only itself and the folders below it"
exit $status

#!/usr/bin/env bash
# Every include points down the layers: each folder may include itself and the folders listed for it,
# nothing else. The build runs it as a test; it prints each include that breaks the order.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [platform/seam]=""
  [platform/support]="platform/seam"
  [platform/audio]="platform/support platform/seam"
  [platform/components]="platform/audio platform/support platform/seam"
  [platform/headless]="platform/support platform/seam"
  [platform/sdl]="platform/support platform/seam"
  [platform/record]="platform/support platform/seam"
  [gfx]="platform/components platform/audio platform/support platform/seam"
  [state]="platform/support"
  [assets]="gfx platform/components platform/audio platform/support platform/seam"
  [actors]="state gfx platform/components platform/audio platform/support platform/seam"
  [core]="actors state assets gfx platform/components platform/audio platform/support platform/seam"
  [packaging]="assets gfx platform/support platform/seam"
  [app]="core actors state assets gfx platform/components platform/audio platform/support platform/seam
         platform/headless platform/record platform/sdl"
)

# The folder a path belongs to: platform's sub-folders count on their own.
layer() {
  case "$1" in
    platform/*) echo "$1" | cut -d/ -f1-2 ;;
    *) echo "${1%%/*}" ;;
  esac
}

bad=0
for folder in "${!allowed[@]}"; do
  while IFS= read -r -d '' file; do
    while IFS= read -r included; do
      target=$(layer "$included")
      [ "$target" = "$folder" ] && continue
      [ -n "${allowed[$target]+set}" ] || continue  # not a layer of ours (generated, system)
      if ! [[ " ${allowed[$folder]} " =~ [[:space:]]$target[[:space:]] ]]; then
        echo "$file includes $included: $folder may not include $target" >&2
        bad=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done < <(find "$folder" -maxdepth 3 \( -name '*.h' -o -name '*.cpp' \) -print0)
done
[ "$bad" -eq 0 ] && echo "every include points down the layers"
exit "$bad"

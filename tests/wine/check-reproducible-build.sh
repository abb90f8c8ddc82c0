#!/usr/bin/env bash
# The two programs are reproducible: a second clean build, from a copy of the source in
# another folder and with the same ZEPHYRIX_* settings, gives the very same bytes.
#   check-reproducible-build.sh <source dir> <build dir> <work folder> <Zephyrix.exe> <ZephyrixService.exe>
set -euo pipefail
source_dir="$1" build_dir="$2" work="$3" program="$4" service="$5"

rm -rf "$work"
mkdir -p "$work/source"
# The source as the first build saw it: tracked and new files, not the build trees.
if git -C "$source_dir" rev-parse --show-toplevel >/dev/null 2>&1; then
  git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
    (cd "$source_dir" && xargs -0 tar -cf - --no-recursion --ignore-failed-read) | tar -xf - -C "$work/source"
else
  tar -cf - -C "$source_dir" --exclude=./build . | tar -xf - -C "$work/source"
fi

# The build-time settings (hosts, options) the first build was configured with.
settings=()
while IFS= read -r line; do
  settings+=("-D$line")
done < <(grep -E '^ZEPHYRIX_[A-Z0-9_]+:[A-Z]+=' "$build_dir/CMakeCache.txt")

second="$work/source/build/windows"
(cd "$work/source" && cmake --preset windows "${settings[@]}" >"$work/configure.log" 2>&1) ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$second" -j "$(nproc)" --target Zephyrix ZephyrixService >"$work/build.log" ||
  { tail -n 30 "$work/build.log"; exit 1; }

failed=0
for pair in "$program:$second/app/Zephyrix.exe" "$service:$second/launcher/ZephyrixService.exe"; do
  first="${pair%%:*}" again="${pair#*:}"
  if cmp -s "$first" "$again"; then
    echo "identical: $(basename "$first")"
  else
    echo "DIFFERENT: $(basename "$first") and its second build differ in $(cmp -l "$first" "$again" | wc -l) bytes;" \
         "the first (offset, octal bytes):"
    cmp -l "$first" "$again" | head -n 10
    failed=1
  fi
done
[ "$failed" -eq 0 ] && rm -rf "$work"
exit "$failed"

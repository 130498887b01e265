#!/usr/bin/env bash
# Checks that the layers' include paths keep every layer to itself and the layers below:
# for each layer, a header of its own folders and of every lower layer compiles, and a header of
# every higher layer's folder is not found. Usage: layers_check.sh CXX BUILD_DIR
set -u
cxx=$1 build=$(cd "$2" && pwd)
# From an empty folder, so that the snippet finds nothing beside itself.
cd "$(mktemp -d)" || exit 1
layers=(kv_base kv_calendar kv_store kv_overlays kv_sky kv_personal kv_shell)
failures=0

first_header() {  # a portable header of a folder
  find "$1/" -maxdepth 1 -name '*.h' ! -name '*_win.h' ! -name '*_test*' | sort | head -n 1
}
compiles() {  # compiles LAYER HEADER
  echo "#include \"$2\"" | "$cxx" -std=c++20 -fsyntax-only -x c++ -I "$build/layers/$1" -I "$build/generated" - 2>/dev/null
}

for ((i = 0; i < ${#layers[@]}; i++)); do
  layer=${layers[$i]}
  view=$build/layers/$layer
  [ -d "$view" ] || { echo "FAIL: no include view for $layer"; failures=$((failures + 1)); continue; }
  for ((j = 0; j < ${#layers[@]}; j++)); do
    other=${layers[$j]}
    for folder in $(ls "$build/layers/$other"); do
      # A folder of the other layer that is not below it belongs to it.
      [ $j -gt 0 ] && [ -e "$build/layers/${layers[$((j - 1))]}/$folder" ] && continue
      header=$(first_header "$build/layers/$other/$folder")
      [ -n "$header" ] || continue
      name="$folder/$(basename "$header")"
      if [ $j -le $i ]; then
        compiles "$layer" "$name" || { echo "FAIL: $layer cannot include $name"; failures=$((failures + 1)); }
      elif compiles "$layer" "$name"; then
        echo "FAIL: $layer can include $name of the higher layer $other"; failures=$((failures + 1))
      fi
    done
  done
done

echo "${#layers[@]} layers checked, $failures failures"
[ $failures -eq 0 ]

#!/usr/bin/env bash
# Checks that every target built from src/ links exactly the targets whose headers its
# files include: none that it never includes (a link "just in case" hides what a folder
# really needs), and every one it does include (else it builds only through another
# folder's links), and every .cpp file is built by a target. Read from the
# CMakeLists.txt files of src/ and sim/:
#   - a target's files are the sources it lists; a header it does not list belongs to
#     the target that lists the .cpp file of the same name, else to the folder's only
#     target, else to the one target of the folder that includes it;
#   - its links are the src/ and sim/ targets named in its target_link_libraries
#     (Qt, libpq and the like are not checked).
# Prints every difference as TARGET: ..., and exits 1 when there is one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# The targets, their files and their links, one per line: "T name folder", "S name file",
# "L name library". Comments are dropped and each command read whole, over its lines.
parse_cmake() {
  local file="$1" folder="$2"
  sed -e 's/\(^\|[[:space:]]\)#.*$//' "$file" | tr '\n' ' ' |
    grep -o -E '(add_library|add_executable|qt_add_executable|qt_add_library|target_sources|target_link_libraries)[[:space:]]*\([^)]*\)' |
    sed -E 's/[[:space:]]*\(/ /; s/\)$//' |
    awk -v folder="$folder" '
      {
        command = $1; name = $2
        if (command == "target_link_libraries") {
          for (i = 3; i <= NF; i++)
            if ($i !~ /^(PUBLIC|PRIVATE|INTERFACE)$/) print "L", name, $i
          next
        }
        if (command != "target_sources") print "T", name, folder
        for (i = 3; i <= NF; i++) {
          if ($i ~ /^(STATIC|SHARED|OBJECT|MODULE|INTERFACE|PUBLIC|PRIVATE|WIN32|MANUAL_FINALIZATION)$/ || $i ~ /\$/) continue
          if ($i ~ /\.(cpp|h)$/) print "S", name, (folder == "" ? "" : folder "/") $i
        }
      }'
}

declare -A target_folder=() owner=() listed=() links=() folder_targets=()
while read -r kind name value; do
  case "$kind" in
    T) target_folder[$name]="$value"; folder_targets[$value]+="$name " ;;
    S) owner[$value]="$name"; listed[$value]=1 ;;
    L) links[$name]+="$value " ;;
  esac
done < <(
  while IFS= read -r cmake; do
    folder="$(dirname "$cmake")"
    parse_cmake "$cmake" "$folder"
  done < <(find src sim -name CMakeLists.txt | sort)
)

# The file an include names (sets `resolved`): below src/ (the programs' include root) or
# the project's root (sim/); empty for a header of Qt or the system. No subshell: it runs
# for every include of every file.
resolve() {
  local from="$1" target="$2"
  resolved=""
  if [ -f "src/$target" ]; then resolved="src/$target"
  elif [ -f "$target" ]; then resolved="$target"
  elif [ -f "${from%/*}/$target" ]; then resolved="${from%/*}/$target"
  fi
}

mapfile -t files < <(find src sim -name '*.cpp' -o -name '*.h' | sort)
declare -A includes=()
# Every include of every file, FILE:TARGET, from one grep over all the files.
while IFS= read -r found; do
  file="${found%%:*}"
  target="${found#*:#include \"}"
  resolve "$file" "${target%%\"*}"
  [ -n "$resolved" ] && includes[$file]+="$resolved "
done < <(grep -H -o -E '^#include "[^"]+"' "${files[@]}")

problems=0
report() {
  echo "$1"
  problems=$((problems + 1))
}

# Every .cpp file is built by a target. A header no target lists belongs to the target of
# the .cpp of the same name, the folder's only target, or the one target of the folder
# that includes it.
for file in "${files[@]}"; do
  [ -n "${owner[$file]:-}" ] && continue
  folder="$(dirname "$file")"
  if [[ "$file" == *.cpp ]]; then
    report "$file: built by no target (list it in the sources of one)"
    continue
  fi
  if [ -n "${owner[${file%.h}.cpp]:-}" ]; then
    owner[$file]="${owner[${file%.h}.cpp]}"
    continue
  fi
  read -r -a here <<<"${folder_targets[$folder]:-}"
  if [ "${#here[@]}" -eq 1 ]; then
    owner[$file]="${here[0]}"
    continue
  fi
  users=""
  for other in "${files[@]}"; do
    [ "$(dirname "$other")" = "$folder" ] && [ -n "${listed[$other]:-}" ] || continue
    case " ${includes[$other]:-}" in *" $file "*) users+="${owner[$other]}"$'\n' ;; esac
  done
  users="$(printf '%s' "$users" | sort -u)"
  if [ -n "$users" ] && [ "$(printf '%s\n' "$users" | wc -l)" -eq 1 ]; then
    owner[$file]="$users"
  elif [ -n "${folder_targets[$folder]:-}" ]; then
    report "$file: belongs to no target (list it in the sources of one)"
  fi
done

for target in $(printf '%s\n' "${!target_folder[@]}" | sort); do
  [[ "${target_folder[$target]}" == src* ]] || continue
  declare -A needed=()
  for file in "${files[@]}"; do
    [ "${owner[$file]:-}" = "$target" ] || continue
    for included in ${includes[$file]:-}; do
      other="${owner[$included]:-}"
      [ -n "$other" ] && [ "$other" != "$target" ] && needed[$other]="$file includes $included"
    done
  done
  declare -A linked=()
  for library in ${links[$target]:-}; do
    [ -n "${target_folder[$library]:-}" ] && linked[$library]=1
  done
  for library in "${!linked[@]}"; do
    [ -n "${needed[$library]:-}" ] ||
      report "$target: links $library, but none of its files includes a header of it"
  done
  for library in "${!needed[@]}"; do
    [ -n "${linked[$library]:-}" ] || report "$target: does not link $library (${needed[$library]})"
  done
  unset needed linked
done

if [ "$problems" -gt 0 ]; then
  echo "check-links: $problems difference(s) between the links and the includes" >&2
  exit 1
fi
echo "check-links: every target links exactly what its files include"

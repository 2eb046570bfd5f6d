#!/usr/bin/env bash
# Keeps the folder rules of ARCHITECTURE.md: reads every #include "…" line of
# src/ and prints each one that breaks a rule; fails when there is one.
# Usage: scripts/check-architecture.sh [source-dir [Qt include dirs…]]
# Among the include dirs (arguments, or ;-separated lists as CMake gives them),
# the one ending in QtWidgets names the widget headers.
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
[ $# -gt 0 ] && shift

# The QtWidgets headers (QWidget, QDialog…): no file outside a ui/ folder includes them.
widgets_headers=""
for arg in "$@"; do
  IFS=';' read -ra dirs <<< "$arg"
  for d in "${dirs[@]}"; do
    case "$d" in
      */QtWidgets) [ -d "$d" ] && widgets_headers="$(ls "$d")" ;;
    esac
  done
done

cd "$root"
grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include' src | awk -v widgets="$widgets_headers" '
BEGIN {
  # Layers, lowest first; a folder includes its own layer'"'"'s folder and lower layers only.
  level["common"] = 0; level["data"] = 1
  level["common/ui"] = 2; level["output"] = 2; level["output/ui"] = 2
  split("register dictionaries reports admin", subsystems, " ")
  for (i in subsystems) { level[subsystems[i]] = 3; level[subsystems[i] "/ui"] = 3 }
  level["app"] = 4; level["app/ui"] = 4
  n = split(widgets, names, "\n")
  for (i = 1; i <= n; i++) if (names[i] != "") widget[names[i]] = 1
  bad = 0
}
function folder(path,   p, n) {
  n = split(path, p, "/")
  return (n > 2 && p[2] == "ui") ? p[1] "/ui" : p[1]
}
function top(f) { sub("/ui$", "", f); return f }
function isUi(f) { return f ~ /\/ui$/ }
function report(msg) { print FILE ":" LINE ": " msg; bad = 1 }
{
  split($0, at, ":"); FILE = at[1]; LINE = at[2]
  line = $0; sub(/^[^:]*:[^:]*:/, "", line)
  from = FILE; sub(/^src\//, "", from); from = folder(from)
  if (match(line, /<[^>]+>/)) {
    header = substr(line, RSTART + 1, RLENGTH - 2)
    if (!isUi(from) && (header ~ /^QtWidgets(\/|$)/ || (header in widget)))
      report("only ui/ folders include widgets: <" header ">")
    next
  }
  if (!match(line, /"[^"]+"/)) next
  header = substr(line, RSTART + 1, RLENGTH - 2)
  if (header !~ /\//) next
  to = folder(header)
  if (!(to in level)) next
  if (!(from in level)) { report("folder " from " has no place among the layers"); next }
  if (isUi(to) && !isUi(from)) { report("a core folder includes a window folder: " header); next }
  if (top(from) == top(to)) next
  if (level[to] < level[from] || from ~ /^app/) next
  report(from " may not include " header)
}
END {
  if (bad) print "Folder rules broken: see ARCHITECTURE.md" > "/dev/stderr"
  exit bad
}'

#!/bin/sh
# Adds Snickit to your application menu, pointing at this folder: a desktop
# entry in ~/.local/share/applications and the icon in ~/.local/share/icons.
# Nothing is copied but those; run it again after moving the folder.
#   ./install.sh            add (or update) the menu entry
#   ./install.sh --remove   take it out again
set -eu
folder=$(cd "$(dirname "$0")" && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
entry=$data/applications/snickit.desktop
sizes="16 24 32 48 64 128 256"

refresh() {
  command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database -q "$data/applications" 2>/dev/null
  command -v gtk-update-icon-cache >/dev/null 2>&1 && gtk-update-icon-cache -q -t "$data/icons/hicolor" 2>/dev/null
  return 0
}

if [ "${1:-}" = "--remove" ]; then
  rm -f "$entry"
  for size in $sizes; do rm -f "$data/icons/hicolor/${size}x$size/apps/snickit.png"; done
  refresh
  echo "Snickit is no longer in the application menu (this folder is left as it is)."
  exit 0
fi

case $folder in
  *"
"*) echo "install.sh: the folder's path holds a line break; move the folder first." >&2; exit 1 ;;
esac
# The desktop entry's Exec key quotes the program's path with \ " ` $
# escaped and % doubled; every value then has its backslashes doubled.
program=$(printf '%s/snickit' "$folder" | sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g')
exec_value=$(printf '"%s"' "$program" | sed 's/\\/\\\\/g')
path_value=$(printf '%s' "$folder" | sed 's/\\/\\\\/g')

mkdir -p "$data/applications"
for size in $sizes; do
  mkdir -p "$data/icons/hicolor/${size}x$size/apps"
  cp "$folder/icons/snickit-$size.png" "$data/icons/hicolor/${size}x$size/apps/snickit.png"
done
# awk with the values in its environment, taken as they stand (not sed, nor
# awk -v, which would read backslashes in them).
EXEC_VALUE=$exec_value PATH_VALUE=$path_value awk '
  /^Exec=/ { print "Exec=" ENVIRON["EXEC_VALUE"]; next }
  /^Path=/ { print "Path=" ENVIRON["PATH_VALUE"]; next }
  { print }' "$folder/snickit.desktop" >"$entry.tmp"
mv "$entry.tmp" "$entry"
refresh
echo "Snickit is in the application menu, starting $folder/snickit."

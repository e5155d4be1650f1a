#!/bin/sh
# Adds Snickit to your application menu, pointing at this folder: a desktop
# entry in ~/.local/share/applications and the icon in ~/.local/share/icons.
# Nothing is copied but those; run it again after moving the folder.
#   ./install.sh            add (or update) the menu entry
#   ./install.sh --remove   take it out again
# What the script made besides the entry and the icons (folders, and the
# menu's caches when there were none) is listed in snickit.made beside the
# entry, so that --remove takes out exactly that: a folder or a cache that
# was there before stays.
set -eu
folder=$(cd "$(dirname "$0")" && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
apps=$data/applications
hicolor=$data/icons/hicolor
entry=$apps/snickit.desktop
made_list=$apps/snickit.made
mime_cache=$apps/mimeinfo.cache
icon_cache=$hicolor/icon-theme.cache
sizes="16 24 32 48 64 128 256"

case $data in
  *"
"*) echo "install.sh: the path of $data holds a line break." >&2; exit 1 ;;
esac

refresh() {
  command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database -q "$apps" 2>/dev/null
  command -v gtk-update-icon-cache >/dev/null 2>&1 && gtk-update-icon-cache -q -f -t "$hicolor" 2>/dev/null
  return 0
}
made=$(cat "$made_list" 2>/dev/null || true)  # one path a line
was_made() { printf '%s\n' "$made" | grep -qxF -- "$1"; }
note_made() { was_made "$1" || made=$(printf '%s\n%s' "$made" "$1" | sed '/^$/d'); }
make_folder() {  # make_folder DIR: mkdir -p, noting each folder it makes, outermost first
  [ -d "$1" ] && return 0
  make_folder "$(dirname "$1")"
  mkdir "$1"
  note_made "$1"
}
# holds_others CACHE: the cache, refreshed without Snickit, still lists
# something (another program's MIME types, another icon).
holds_others() {
  case $1 in
    */mimeinfo.cache) grep -q '=' "$1" ;;
    *) [ -n "$(find "$hicolor" -type f ! -name icon-theme.cache | head -n 1)" ] ;;
  esac
}

remove_made_folders() {
  printf '%s\n' "$made" | awk '{ print length($0) " " $0 }' | sort -rn | cut -d' ' -f2- |
    while IFS= read -r path; do rmdir -- "$path" 2>/dev/null || true; done
}

if [ "${1:-}" = "--remove" ]; then
  # A cache missing now would be made by the refresh below: it counts as
  # made here.
  for cache in "$mime_cache" "$icon_cache"; do [ -e "$cache" ] || note_made "$cache"; done
  rm -f "$entry" "$made_list"
  for size in $sizes; do rm -f "$hicolor/${size}x$size/apps/snickit.png"; done
  # The folders made here, innermost first, when empty (before the refresh,
  # so that the icon cache forgets them), then again once the caches made
  # here are gone.
  remove_made_folders
  refresh
  # A cache made here goes once it lists nothing of anyone else's.
  for cache in "$mime_cache" "$icon_cache"; do
    if was_made "$cache" && [ -e "$cache" ] && ! holds_others "$cache"; then rm -f "$cache"; fi
  done
  remove_made_folders
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

make_folder "$apps"
for size in $sizes; do
  make_folder "$hicolor/${size}x$size/apps"
  cp "$folder/icons/snickit-$size.png" "$hicolor/${size}x$size/apps/snickit.png"
done
# awk with the values in its environment, taken as they stand (not sed, nor
# awk -v, which would read backslashes in them).
EXEC_VALUE=$exec_value PATH_VALUE=$path_value awk '
  /^Exec=/ { print "Exec=" ENVIRON["EXEC_VALUE"]; next }
  /^Path=/ { print "Path=" ENVIRON["PATH_VALUE"]; next }
  { print }' "$folder/snickit.desktop" >"$entry.tmp"
mv "$entry.tmp" "$entry"
for cache in "$mime_cache" "$icon_cache"; do [ -e "$cache" ] || note_made "$cache"; done
refresh
printf '%s\n' "$made" | sed '/^$/d' >"$made_list"
echo "Snickit is in the application menu, starting $folder/snickit."

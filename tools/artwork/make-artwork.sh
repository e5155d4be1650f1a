#!/usr/bin/env bash
# Rebuilds every picture and sound that ships with Snickit, and the README's
# views of them. Rerun it after changing a colour or a sound; its outputs are
# committed, so building Snickit never needs it.
#
# Needs: python3, ImageMagick (/usr/bin/convert), fonts-dejavu-core.
#
# Writes:
#   dist/skins/<Skin>/box.bmp, box2.bmp, menu.bmp, 1.wav .. 4.wav
#   dist/config.sn                        the settings file for the first start
#   resources/about.bmp, icon.ico, icon32.bmp, ding.wav
#   docs/skin-<skin>-pad.png, -pressed.png, -menu.png, about.png, icon.png
#   docs/skin-template/                   the template skin for skin authors
set -euo pipefail
cd "$(dirname "$0")/../.."

if [[ ! -x /usr/bin/convert ]]; then
  echo "make-artwork.sh: /usr/bin/convert (Debian package imagemagick) is missing" >&2
  exit 1
fi
if [[ ! -f /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf ]]; then
  echo "make-artwork.sh: the DejaVu fonts (Debian package fonts-dejavu-core) are missing" >&2
  exit 1
fi

mkdir -p dist/skins resources docs
python3 tools/artwork/pictures.py .
python3 tools/artwork/sounds.py dist/skins resources/ding.wav
python3 tools/artwork/template.py .

# First start: the window at 200, 100 pixels (3000, 1500 twips at 15 twips
# per pixel), written as the program writes numbers, and the Candy skin.
printf ' 3000 \r\n 1500 \r\nCandy\\\r\n' > dist/config.sn

echo "make-artwork.sh: done"

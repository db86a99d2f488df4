#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from the build folder, unpacked into a
# temporary root, the installed movra-cli and movra started from there (the window under the
# offscreen platform, with a fresh home whose program folder is filled from the installed data),
# the desktop entry validated and the file types checked.
#
#     package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
command -v cpack >/dev/null || { echo "cpack missing"; exit 77; }
command -v dpkg-deb >/dev/null || { echo "dpkg-deb missing"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/pkg" >/dev/null)
deb=$(ls "$work"/pkg/movra_*.deb)
# Read whole first: grep -q ending early would break the pipe under pipefail.
info=$(dpkg-deb -I "$deb")
grep -q 'Depends:.*fonts-ipaexfont' <<<"$info" || { echo "no font dependency"; exit 1; }
root=$work/root
dpkg-deb -x "$deb" "$root"

version=$("$root/usr/bin/movra-cli" --version)
grep -q '^movra-cli ' <<<"$version" || { echo "movra-cli does not start"; exit 1; }

# The window starts from the installed files alone and fills a fresh program folder.
home=$work/home
mkdir -p "$home"
cat > "$work/game.kif" <<'KIF'
手合割：平手
先手：甲
後手：乙
手数----指手---------消費時間--
   1 ７六歩(77)
   2 ３四歩(33)
   3 投了
KIF
env -u MOVRA_HOME -u MOVRA_DATA -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/movra" "$work/game.kif" >"$work/out.txt" 2>&1 &
pid=$!
folder=$home/.local/share/movra
# The machine may be busy: wait up to a minute for the start, then make sure it keeps running.
for _ in $(seq 120); do
  [ -n "$(find "$folder" -maxdepth 1 -iname ban1l.bmp 2>/dev/null)" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
  wait "$pid" || true
  echo "the installed movra ended by itself:"; cat "$work/out.txt"; exit 1
fi
kill "$pid"; wait "$pid" 2>/dev/null || true
[ -n "$(find "$folder" -maxdepth 1 -iname ban1l.bmp 2>/dev/null)" ] || { echo "the program folder was not filled: $(ls "$folder")"; exit 1; }
[ -f "$folder/WAV1/11.wav" ] || { echo "no voice set in the program folder"; exit 1; }

desktop-file-validate "$root/usr/share/applications/movra.desktop"
[ -f "$root/usr/share/icons/hicolor/48x48/apps/movra.png" ] || { echo "no icon"; exit 1; }
python3 - "$root/usr/share/mime/packages/movra.xml" <<'PY'
import sys, xml.etree.ElementTree as ET
ns = {"m": "http://www.freedesktop.org/standards/shared-mime-info"}
root = ET.parse(sys.argv[1]).getroot()
globs = {g.get("pattern") for g in root.iterfind(".//m:glob", ns)}
want = {"*.kif", "*.kifu", "*.ki2", "*.ki2u", "*.csa", "*.ipx", "*.idx"}
missing = want - globs
if missing:
    sys.exit("file types missing: %s" % sorted(missing))
PY
grep -q '^MimeType=.*application/x-shogi-kif' "$root/usr/share/applications/movra.desktop"
echo "package: $(basename "$deb") installs and starts"

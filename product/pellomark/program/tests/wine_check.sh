#!/bin/sh
# Runs Quodpost.exe under $WINE (wine64 unless named) on a private X display: updates
# one folder from another through the real dialog (driven by
# quodpost_drive.exe), checks the files, and leaves a screenshot.
# Usage: wine_check.sh <build dir with Quodpost.exe and quodpost_drive.exe>
set -u
BUILD=$(cd "$1" && pwd) || exit 2
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="$BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
XVFB_PID=
STATUS=1

cleanup() {
    "$WINESERVER" -k 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    rm -f "$BUILD/display.txt"
}
trap cleanup EXIT INT TERM

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$BUILD/display.txt" 2>/dev/null &
XVFB_PID=$!
for _ in 1 2 3 4 5 6 7 8 9 10; do
    [ -s "$BUILD/display.txt" ] && break
    sleep 1
done
export DISPLAY=":$(cat "$BUILD/display.txt")"
echo "display $DISPLAY, Xvfb pid $XVFB_PID"

# Booted by wine64, the prefix runs the programs of both builds.
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
"$WINESERVER" -w

# The two folders: what each file is there to show is in its name.
ROOT="$WINEPREFIX/drive_c/pmcheck"
rm -rf "$ROOT"
mkdir -p "$ROOT/src/sub" "$ROOT/dst"
OLD="2020-01-01 10:00:00"
NEW="2021-06-01 12:00:00"
put() { printf '%s\n' "$3" >"$ROOT/$1"; touch -d "$2" "$ROOT/$1"; }
put src/a_new.txt "$NEW" "brand new"
put src/b_newer.txt "$NEW" "b version 2"
put dst/b_newer.txt "$OLD" "b version 1"
put src/c_busy.dat "$NEW" "c version 2"
put dst/c_busy.dat "$OLD" "c version 1"
put src/d_same.txt "$OLD" "same"
put dst/d_same.txt "$OLD" "same"
put src/e_kept.txt "$OLD" "e old"
put dst/e_kept.txt "$NEW" "e edited in the target"
put src/f_size.txt "$OLD" "f longer text"
put dst/f_size.txt "$OLD" "f short"
put src/Readme.TXT "$NEW" "readme version 2"
put dst/README.txt "$OLD" "readme version 1"
put src/sub/inner.txt "$NEW" "not copied: folders are not looked at"

cp "$BUILD/Quodpost.exe" "$BUILD/quodpost_drive.exe" "$WINEPREFIX/drive_c/"
cp "$(dirname "$0")/../../help.txt" "$WINEPREFIX/drive_c/Quodpost.hlp"
LOG="$BUILD/drive.log"
"$WINE" 'C:\quodpost_drive.exe' 'C:\Quodpost.exe' 'C:\pmcheck\src' 'C:\pmcheck\dst' \
    'C:\pmcheck\dst\c_busy.dat' 4000 >"$LOG" 2>&1 &
DRIVER=$!
for _ in $(seq 1 60); do
    grep -q READY "$LOG" 2>/dev/null && break
    sleep 0.5
done
sleep 1
import -window root "$BUILD/shot.png" && echo "screenshot $BUILD/shot.png"
wait "$DRIVER"
DRIVE_RC=$?
tr -d '\r' <"$LOG"

check() {
    if cmp -s "$ROOT/$1" "$ROOT/$2"; then echo "ok   $3"; else echo "FAIL $3"; return 1; fi
}
FILES_OK=0
check src/a_new.txt dst/a_new.txt "new file copied" || FILES_OK=1
check src/b_newer.txt dst/b_newer.txt "newer file replaced" || FILES_OK=1
check src/c_busy.dat dst/c_busy.dat "busy file copied on the second try" || FILES_OK=1
check src/f_size.txt dst/f_size.txt "file of other size replaced" || FILES_OK=1
check src/Readme.TXT dst/README.txt "case-twin replaced in place" || FILES_OK=1
if grep -q "edited in the target" "$ROOT/dst/e_kept.txt"; then echo "ok   newer target file kept"
else echo "FAIL newer target file kept"; FILES_OK=1; fi
if [ ! -e "$ROOT/dst/sub" ] && [ ! -e "$ROOT/dst/Readme.TXT" ]; then echo "ok   no folder, no second readme"
else echo "FAIL stray entries in the target"; FILES_OK=1; fi
if [ "$(stat -c %Y "$ROOT/src/b_newer.txt")" = "$(stat -c %Y "$ROOT/dst/b_newer.txt")" ]; then
    echo "ok   write time carried over"
else echo "FAIL write time carried over"; FILES_OK=1; fi

[ "$DRIVE_RC" -eq 0 ] && [ "$FILES_OK" -eq 0 ] && STATUS=0
echo "wine check: $([ $STATUS -eq 0 ] && echo PASS || echo FAIL)"
exit $STATUS

#!/usr/bin/env bash
# Runs the installer's end-to-end scenarios on a virtual display: the pilot
# runs under wine64 and starts the setup executable of either build.
#
#   harness.sh [--build win32|win64] prefix|run|check ...
#       win32: the scenario is skipped (exit 77) where 32-bit code cannot run
#   harness.sh prefix <dir>
#       boots one template prefix for the run (once; the scenarios copy it)
#   harness.sh run <scenario> <width> <height> --template <dir> --out <dir>
#              --pilot <exe> --setup <exe> [--keep] [--set name=value]...
#              [--env NAME=value]...
#       copies the template, starts a display of that size, runs the pilot's
#       scenario against the setup executable, converts its screenshots to
#       PNG under <out>/screenshots/<scenario>, and always ends what it started
#   harness.sh check <script> <argument>...
#       runs a check script of its own with WINE naming the build's loader
set -uo pipefail

wine_loader=/usr/lib/wine/wine64
wine32_loader=${CRATEWISE_WINE32:-/usr/lib/wine/wine}
wineserver=/usr/lib/wine/wineserver
export WINEDEBUG=-all
base_overrides="mscoree,mshtml="

die() { echo "harness: $*" >&2; exit 2; }

winpath() { # a Linux path as the prefix's Z: drive sees it
    local p
    p=$(realpath -m "$1")
    echo "Z:${p//\//\\}"
}

start_display() { # start_display <width> <height> -> sets display and xvfb_pid
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r -t 20 display <"$fifo" || display=""
    rm -f "$fifo"
    [[ -n $display ]] || { kill "$xvfb_pid" 2>/dev/null; die "Xvfb did not start"; }
    export DISPLAY=":$display"
}

boot_prefix() {
    local dir=$1
    [[ -f $dir/.booted ]] && return 0
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    export WINEPREFIX=$dir WINEDLLOVERRIDES=$base_overrides
    "$wine_loader" wineboot -i >/dev/null 2>&1 || die "wineboot failed"
    # A crash must fail the scenario, not wait for someone to close a dialog.
    "$wine_loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # No window manager runs on the virtual display: Wine draws the captions.
    "$wine_loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    # Nor is there one to answer for managed windows: hiding one would wait two
    # seconds for a withdrawal that never comes (the splash would stay 5 s).
    "$wine_loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    "$wineserver" -w
    # The user's shell folders are links into the real home folder; a test
    # must neither see nor touch that, so they become plain folders.
    local link
    find "$dir/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
        rm -f "$link" && mkdir -p "$link"
    done
    touch "$dir/.booted"
}

run_scenario() {
    local scenario=$1 width=$2 height=$3
    shift 3
    template="" out="" pilot="" setup="" keep=0 sets=() envs=()
    while (($#)); do
        case $1 in
            --template) template=$2; shift 2 ;;
            --out) out=$2; shift 2 ;;
            --pilot) pilot=$2; shift 2 ;;
            --setup) setup=$2; shift 2 ;;
            --keep) keep=1; shift ;;
            --set) sets+=(--set "$2"); shift 2 ;;
            --env) envs+=("$2"); shift 2 ;;
            *) die "unknown argument $1" ;;
        esac
    done
    [[ -f $template/.booted ]] || die "no booted template prefix at $template"
    work="$out/work/$scenario" shots="$out/screenshots/$scenario"
    rm -rf "$work" "$shots"
    mkdir -p "$work" "$shots"
    cp -a "$template" "$work/prefix"
    export WINEPREFIX="$work/prefix" WINEDLLOVERRIDES=$base_overrides

    hook="$(dirname "$0")/hooks/$scenario.sh"
    xvfb_pid=""
    cleanup() {
        [[ -x $hook ]] && "$hook" post "$work" >/dev/null 2>&1
        "$wineserver" -k >/dev/null 2>&1
        [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
        if ((keep == 0)); then rm -rf "$work/prefix"; fi
    }
    trap cleanup EXIT
    if [[ -x $hook ]]; then "$hook" pre "$work" || die "hook $hook failed"; fi
    start_display "$width" "$height"
    # Wine reads settings such as its DLL overrides from the environment it
    # starts with, so they are set here rather than by the pilot.
    local setting
    for setting in "${envs[@]}"; do export "${setting?}"; done

    timeout --kill-after=10 "${PILOT_TIMEOUT:-240}" "$wine_loader" "$pilot" "$scenario" \
        --setup "$(winpath "$setup")" --shots "$(winpath "$shots")" \
        --work "$(winpath "$work")" --tools "$(winpath "$(dirname "$pilot")")" "${sets[@]}"
    local status=$?
    ((status == 124)) && echo "harness: $scenario timed out"
    local bmp
    for bmp in "$shots"/*.bmp; do
        [[ -e $bmp ]] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
    echo "harness: screenshots in $shots"
    return $status
}

build_loader=$wine_loader
if [[ ${1:-} == --build ]]; then
    if [[ ${2:-} == win32 ]]; then
        build_loader=$wine32_loader
        if ! why=$("$wine32_loader" --version 2>&1); then
            echo "harness: skipped: this machine cannot execute 32-bit code ($wine32_loader --version: ${why##*: })"
            exit 77
        fi
    fi
    shift 2
fi

case ${1:-} in
    prefix) boot_prefix "${2:?prefix folder}" ;;
    run) shift; run_scenario "$@" ;;
    check) shift; WINE=$build_loader exec "$@" ;;
    *) die "usage: harness.sh [--build win32|win64] prefix <dir> | run <scenario> <width> <height> ... | check <script> ..." ;;
esac

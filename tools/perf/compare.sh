#!/usr/bin/env bash
# Runs the baseline and the game one after the other on a private Xvfb display,
# each for the same time, and prints their CPU use, peak memory and frame
# statistics, with the game's ratios against the performance targets.
#
#   tools/perf/compare.sh [BUILD_DIR] [SECONDS]
#
# BUILD_DIR holds vexaloid, vexaloid-baseline and data/ (default: build).
# SECONDS is the length of each run (default 20). Four runs are made:
#   baseline - the empty paced window
#   title    - the game left on its title screen (the splash ended by a click)
#   play     - the game in play: a click ends the splash, a click starts a game,
#              then the pointer sweeps across the screen, firing all the time
#   pause    - the game started as in play, then paused with Space (the
#              frozen picture with its volume lines) for the rest of the run
# CPU use is utime+stime from /proc/PID/stat over the run after a warm-up of
# WARMUP seconds (default 3); peak memory is VmHWM from /proc/PID/status read
# just before Escape ends the program. VEXALOID_STATS=1 makes each program print
# its stats line at exit. DISPLAY_NUM (default 88) picks the Xvfb display and
# SCREEN (default 1920x1080x24) its size. The time to the first picture varies
# a lot from one start to the next, so it is also taken as the median of
# STARTS (default 7) short starts of each program, alternating, and the ratio
# against the target uses those medians.
set -euo pipefail

here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
secs=${2:-20}
warmup=${WARMUP:-3}
dnum=${DISPLAY_NUM:-88}
screen=${SCREEN:-1920x1080x24}
for tool in Xvfb xdotool awk; do
    command -v "$tool" >/dev/null || { echo "compare.sh: $tool is needed (apt-get install xvfb xdotool)" >&2; exit 2; }
done
for prog in vexaloid vexaloid-baseline; do
    [ -x "$build/$prog" ] || { echo "compare.sh: no $build/$prog; build first" >&2; exit 2; }
done
if (( secs <= warmup + 1 )); then
    echo "compare.sh: SECONDS must exceed the warm-up ($warmup s) by more than 1" >&2
    exit 2
fi

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export DISPLAY=:$dnum
if [ ! -e "/tmp/.X11-unix/X$dnum" ]; then
    Xvfb ":$dnum" -screen 0 "$screen" -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$dnum" ] && break
        sleep 0.1
    done
    sleep 0.5
fi

ticks=$(getconf CLK_TCK)
cputicks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
hwm() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }

# drive NAME: sends the input of one run while the program runs.
drive() {
    local name=$1 pid=$2 until=$3
    case $name in
        baseline) ;;
        title)
            sleep 1.5
            xdotool mousemove 960 540 click 1
            ;;
        play)
            sleep 1.5
            xdotool mousemove 960 540 click 1
            sleep 1
            xdotool click 1
            local x=700 dx=40
            while (( $(date +%s%N) / 1000000 < until )) && kill -0 "$pid" 2>/dev/null; do
                xdotool mousemove "$x" 800 mousedown 1 sleep 0.05 mouseup 1
                x=$((x + dx))
                if (( x > 1220 || x < 700 )); then dx=$((-dx)); fi
                sleep 0.05
            done
            ;;
        pause)
            sleep 1.5
            xdotool mousemove 960 540 click 1
            sleep 1
            xdotool click 1
            sleep 2.5
            xdotool key space
            ;;
    esac
}

# measure NAME PROGRAM: one run; leaves NAME.cpu (percent of one core),
# NAME.hwm (kB) and NAME.stats (the stats line) in the work folder.
measure() {
    local name=$1 prog=$2
    (cd "$build" && VEXALOID_STATS=1 exec "./$prog") >/dev/null 2>"$work/$name.err" &
    local pid=$!
    local start_ms=$(($(date +%s%N) / 1000000))
    local end_ms=$((start_ms + secs * 1000))
    drive "$name" "$pid" "$end_ms" &
    local driver=$!
    sleep "$warmup"
    local c0 t0 c1 t1
    c0=$(cputicks "$pid")
    t0=$(date +%s%N)
    sleep $((secs - warmup))
    c1=$(cputicks "$pid")
    t1=$(date +%s%N)
    hwm "$pid" >"$work/$name.hwm"
    wait "$driver" 2>/dev/null || true
    # Held a moment: the pause ends only while Escape is down.
    xdotool keydown Escape sleep 0.2 keyup Escape
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        echo "compare.sh: $prog did not end on Escape; terminating it" >&2
        kill "$pid"
    fi
    wait "$pid" || true
    awk -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" -v hz="$ticks" \
        'BEGIN { printf "%.1f\n", 100 * (c1 - c0) / hz / ((t1 - t0) / 1e9) }' >"$work/$name.cpu"
    grep '^stats:' "$work/$name.err" | tail -1 >"$work/$name.stats" || true
    if [ ! -s "$work/$name.stats" ]; then
        echo "compare.sh: $prog printed no stats line:" >&2
        cat "$work/$name.err" >&2
    fi
}

# startups: first_frame_ms of STARTS short starts of each program, alternating;
# leaves the medians in baseline.first and game.first.
startups() {
    local n=${STARTS:-7} prog name
    : >"$work/baseline.starts"
    : >"$work/game.starts"
    for _ in $(seq "$n"); do
        for prog in vexaloid-baseline vexaloid; do
            name=game
            [ "$prog" = vexaloid-baseline ] && name=baseline
            (cd "$build" && VEXALOID_STATS=1 timeout -s TERM 2 "./$prog") 2>&1 >/dev/null |
                sed -n 's/.*first_frame_ms=\([^ ]*\).*/\1/p' >>"$work/$name.starts" || true
            sleep 0.5
        done
    done
    for name in baseline game; do
        sort -n "$work/$name.starts" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }' \
            >"$work/$name.first"
    done
}

field() { sed -n "s/.* $2=\([^ ]*\).*/\1/p" "$work/$1.stats"; }

echo "display :$dnum ($screen), $secs s per run, CPU measured after ${warmup} s"
measure baseline vexaloid-baseline
measure title vexaloid
measure play vexaloid
measure pause vexaloid
startups

printf '\n%-9s %7s %9s %7s %7s %10s %10s %10s %9s %15s\n' run cpu% peak_kB fps p99_ms draws_mean draws_max allocs_mean allocs_max first_frame_ms
for r in baseline title play pause; do
    printf '%-9s %7s %9s %7s %7s %10s %10s %10s %9s %15s\n' "$r" "$(cat "$work/$r.cpu")" "$(cat "$work/$r.hwm")" \
        "$(field $r fps)" "$(field $r p99_ms)" "$(field $r draws_mean)" "$(field $r draws_max)" \
        "$(field $r allocs_mean)" "$(field $r allocs_max)" "$(field $r first_frame_ms)"
done
for r in baseline title play pause; do echo "$r: $(cat "$work/$r.stats")"; done

echo
echo "targets (game vs baseline):"
verdict() { if awk "BEGIN { exit !($1) }"; then echo ok; else echo MISSED; fi; }
bcpu=$(cat "$work/baseline.cpu") bhwm=$(cat "$work/baseline.hwm")
bfirst=$(cat "$work/baseline.first") gfirst=$(cat "$work/game.first")
echo "  first picture, median of ${STARTS:-7} starts: baseline ${bfirst} ms (all: $(tr '\n' ' ' <"$work/baseline.starts")), game ${gfirst} ms (all: $(tr '\n' ' ' <"$work/game.starts"))"
fr=$(awk -v a="$gfirst" -v b="$bfirst" 'BEGIN { printf "%.2f", a / b }')
printf '  game  first picture x%-5s (<= 1.5)  %s\n' "$fr" "$(verdict "$fr <= 1.5")"
for r in title play pause; do
    cpu=$(cat "$work/$r.cpu") mem=$(cat "$work/$r.hwm") fps=$(field $r fps)
    draws=$(field $r draws_max) allocs=$(field $r allocs_max)
    cr=$(awk -v a="$cpu" -v b="$bcpu" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')
    mr=$(awk -v a="$mem" -v b="$bhwm" 'BEGIN { printf "%.2f", a / b }')
    printf '  %-5s fps %-6s (60.0 +- 0.5)  %s\n' "$r" "$fps" "$(verdict "$fps >= 59.5 && $fps <= 60.5")"
    printf '  %-5s draws_max %-3s (<= 4)  %s\n' "$r" "$draws" "$(verdict "$draws <= 4")"
    printf '  %-5s allocs_max %-3s (0)  %s\n' "$r" "$allocs" "$(verdict "$allocs == 0")"
    printf '  %-5s cpu x%-5s (<= 2.0)  %s\n' "$r" "$cr" "$(verdict "$cr <= 2.0")"
    printf '  %-5s peak memory x%-5s (<= 1.2)  %s\n' "$r" "$mr" "$(verdict "$mr <= 1.2")"
done

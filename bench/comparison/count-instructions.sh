#!/bin/sh
# Counts the processor instructions one bunnymark frame costs (millions),
# with Vantrix, SFML, Allegro 5 and LÖVE: the work of the whole process,
# drawing and Mesa's rasteriser together (one rasteriser thread,
# LP_NUM_THREADS=0), counted by valgrind. Unlike frames per second, the count
# does not depend on what else the machine is doing, so it settles small
# differences that timing on a shared machine cannot.
#
# Each figure is the difference between runs of F1 and F2 frames (after the
# programs' five warm-up frames), divided by F2 - F1: start-up and shader
# compilation fall out.
#
# Usage: bench/comparison/count-instructions.sh [BUILD_DIR]   (default: build)
# Environment: COUNTS (default "0 100 1000"), F1 (default 8), F2 (default 32).
set -eu

build=${1:-build}
counts=${COUNTS:-0 100 1000}
f1=${F1:-8}
f2=${F2:-32}
extra_packages=valgrind
. "$(dirname "$0")/prepare.sh"

# instructions LIBRARY N FRAMES: the instructions of one whole run.
instructions() {
  log="$work/$1-$2-$3.log"
  case $1 in
    vantrix) set -- "$vantrix" --count "$2" --frames "$3" ;;
    sfml-sprites) set -- "$work/sfml_bunnymark" "$work/bunny.png" sprites "$2" "-$3" ;;
    sfml-array) set -- "$work/sfml_bunnymark" "$work/bunny.png" array "$2" "-$3" ;;
    allegro) set -- "$work/allegro_bunnymark" "$work/bunny.png" "$2" "-$3" ;;
    love) set -- love "$here/love_bunnymark" "$work/bunny.png" "$2" "-$3" ;;
  esac
  LP_NUM_THREADS=0 $env_run valgrind --tool=callgrind --callgrind-out-file=/dev/null --smc-check=all "$@" \
    >/dev/null 2>"$log" || true
  # A process the program forks reports its own count: the program's is the largest.
  grep -ao 'Collected : [0-9]*' "$log" | awk '{ print $3 }' | sort -n | tail -n 1
}

# per_frame LIBRARY N: millions of instructions per frame, into a file.
per_frame() {
  a=$(instructions "$1" "$2" "$f1")
  b=$(instructions "$1" "$2" "$f2")
  awk -v a="${a:-0}" -v b="${b:-0}" -v f1="$f1" -v f2="$f2" \
    'BEGIN { if (a > 0 && b > a) printf "%.2f\n", (b - a) / (f2 - f1) / 1e6; else print "failed" }' >"$work/$1-$2.txt"
}

libraries="vantrix sfml-sprites sfml-array allegro love"
# Two counts at a time: the counts do not depend on the load.
for n in $counts; do
  for lib in $libraries; do
    per_frame "$lib" "$n" &
    [ "$(jobs -p | wc -l)" -ge 2 ] && wait
  done
done
wait

echo "bunnymark, 640 x 480, Xvfb, Mesa llvmpipe with one rasteriser thread; valgrind (callgrind) counts;"
echo "millions of instructions per frame, from runs of $f1 and $f2 frames"
echo
printf '%-26s' library
for n in $counts; do printf ' %10s' "N=$n"; done
echo
for lib in $libraries; do
  name=$(library_name "$lib")
  printf '%-26s' "$name"
  for n in $counts; do printf ' %10s' "$(cat "$work/$lib-$n.txt")"; done
  echo
done

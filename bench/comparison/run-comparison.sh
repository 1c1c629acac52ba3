#!/bin/sh
# Runs the bunnymark scene (N soft-edged 32 x 32 sprites, blended, bouncing
# across a 640 x 480 window, frame limit off) with Vantrix, SFML, Allegro 5
# and LÖVE under the same Xvfb set-up, and prints one table: frames per
# second for N = 1000, 10000, 50000 and the largest N that holds 60 fps.
#
# The three libraries are installed here, for the benchmark only (Debian
# packages), and their programs are built here with g++ and pkg-config.
# Every program asks for a depth 24 + stencil 8 framebuffer (Vantrix always
# has one) and reports what it was granted.
#
# Usage: bench/comparison/run-comparison.sh [BUILD_DIR]   (default: build)
# Environment: SECONDS_PER_FIGURE (default 2), RUNS (best of, default 2),
# SEARCH_RUNS (best of, for each step of the 60 fps search, default 3).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
case $build in /*) ;; *) build=$root/$build ;; esac
seconds=${SECONDS_PER_FIGURE:-2}
runs=${RUNS:-2}
search_runs=${SEARCH_RUNS:-3}
env_run="$root/tests/harness/vtx-test-env --xvfb"

# --- the libraries, for the benchmark only -----------------------------------
packages="libsfml-dev liballegro5-dev liballegro-image5-dev love g++ pkg-config xvfb"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing" >&2
  apt-get update >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing >/dev/null
fi

# --- the programs --------------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/bunnymark-comparison.XXXXXX")
trap 'rm -rf "$work"' EXIT
g++ -O2 -std=c++17 -o "$work/sfml_bunnymark" "$here/sfml_bunnymark.cpp" $(pkg-config --cflags --libs sfml-graphics)
g++ -O2 -std=c++17 -o "$work/allegro_bunnymark" "$here/allegro_bunnymark.cpp" \
  $(pkg-config --cflags --libs allegro-5 allegro_image-5)
cmake --build "$build" --target bunnymark >/dev/null
vantrix="$build/bench/bunnymark"
"$vantrix" --write-picture "$work/bunny.png"

# fps LIBRARY N SECONDS: the frames per second of one run of one library.
fps() {
  case $1 in
    vantrix) $env_run "$vantrix" --count "$2" --seconds "$3" ;;
    vantrix-nobatch) VTX_NO_BATCH=1 $env_run "$vantrix" --count "$2" --seconds "$3" ;;
    sfml-sprites) $env_run "$work/sfml_bunnymark" "$work/bunny.png" sprites "$2" "$3" ;;
    sfml-array) $env_run "$work/sfml_bunnymark" "$work/bunny.png" array "$2" "$3" ;;
    allegro) $env_run "$work/allegro_bunnymark" "$work/bunny.png" "$2" "$3" ;;
    love) $env_run love "$here/love_bunnymark" "$work/bunny.png" "$2" "$3" ;;
  esac 2>>"$work/granted.txt" | awk 'NF == 2 { print $2 }' | tail -n 1
}

# best LIBRARY N SECONDS [RUNS]: the best of RUNS runs (the machine is shared).
best() {
  b=0
  i=0
  while [ "$i" -lt "${4:-$runs}" ]; do
    f=$(fps "$1" "$2" "$3")
    b=$(awk -v a="$b" -v c="${f:-0}" 'BEGIN { print (c > a) ? c : a }')
    i=$((i + 1))
  done
  echo "$b"
}

# holds LIBRARY N: true when N sprites run at 60 fps or more (1.5 s runs).
holds() {
  f=$(best "$1" "$2" 1.5 "$search_runs")
  awk -v f="$f" 'BEGIN { exit !(f >= 60) }'
}

# largest LIBRARY: the largest N at 60 fps, by doubling from 125, then
# halving the gap down to 2 % of N.
largest() {
  good=0
  bad=0
  n=125
  while [ "$bad" -eq 0 ] && [ "$n" -le 1024000 ]; do
    if holds "$1" "$n"; then good=$n; n=$((n * 2)); else bad=$n; fi
  done
  [ "$bad" -eq 0 ] && { echo ">$good"; return; }
  while [ $((bad - good)) -gt $(( (good / 50) > 10 ? (good / 50) : 10 )) ]; do
    mid=$(( (good + bad) / 2 ))
    if holds "$1" "$mid"; then good=$mid; else bad=$mid; fi
  done
  echo "$good"
}

echo "bunnymark, 640 x 480, Xvfb 1024x768x24, Mesa llvmpipe; best of $runs runs, ${seconds} s each;"
echo "60 fps search: best of $search_runs runs of 1.5 s per step"
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '%-26s %10s %10s %10s %14s\n' library "N=1000" "N=10000" "N=50000" "largest N@60"
for lib in vantrix vantrix-nobatch sfml-sprites sfml-array allegro love; do
  a=$(best "$lib" 1000 "$seconds")
  b=$(best "$lib" 10000 "$seconds")
  c=$(best "$lib" 50000 "$seconds")
  l=$(largest "$lib")
  case $lib in
    vantrix) name="Vantrix (batch)" ;;
    vantrix-nobatch) name="Vantrix (VTX_NO_BATCH=1)" ;;
    sfml-sprites) name="SFML (sf::Sprite each)" ;;
    sfml-array) name="SFML (sf::VertexArray)" ;;
    allegro) name="Allegro 5 (held drawing)" ;;
    love) name="LOVE (draw, auto-batched)" ;;
  esac
  printf '%-26s %10s %10s %10s %14s\n' "$name" "$a" "$b" "$c" "$l"
done
echo
echo "framebuffers granted (depth / stencil bits):"
sort -u "$work/granted.txt" | grep -E 'depth|stencil' || true
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

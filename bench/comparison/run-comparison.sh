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
# Environment: SECONDS_PER_FIGURE (default 2), RUNS (rounds per figure, the
# median is reported, default 5), SEARCH_RUNS (best of, for each step of the
# 60 fps search, default 3).
#
# The machine may be shared: every round of a figure runs all the libraries
# one after another, so that a busy minute slows them alike, and the median
# of the rounds is reported.
set -eu

build=${1:-build}
seconds=${SECONDS_PER_FIGURE:-2}
runs=${RUNS:-5}
search_runs=${SEARCH_RUNS:-3}
. "$(dirname "$0")/prepare.sh"

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

# The largest N at 60 fps of every library: doubling from 125, then halving
# the gap down to 2 % of N; each step tries every unfinished library in
# turn. Sets largest_<library> (with '-' as '_').
search_all() {
  for lib in $libraries; do
    v=$(echo "$lib" | tr - _)
    eval "good_$v=0 bad_$v=0 next_$v=125 done_$v=0"
  done
  left=1
  while [ "$left" -eq 1 ]; do
    left=0
    for lib in $libraries; do
      v=$(echo "$lib" | tr - _)
      eval "good=\$good_$v bad=\$bad_$v n=\$next_$v finished=\$done_$v"
      [ "$finished" -eq 1 ] && continue
      if holds "$lib" "$n"; then good=$n; else bad=$n; fi
      if [ "$bad" -eq 0 ]; then
        n=$((n * 2))
        [ "$n" -gt 1024000 ] && { finished=1; good=">$good"; }
      elif [ $((bad - good)) -gt $(( (good / 50) > 10 ? (good / 50) : 10 )) ]; then
        n=$(( (good + bad) / 2 ))
      else
        finished=1
      fi
      [ "$finished" -eq 0 ] && left=1
      eval "good_$v=\$good bad_$v=\$bad next_$v=\$n done_$v=\$finished largest_$v=\$good"
    done
  done
}

echo "bunnymark, 640 x 480, Xvfb 1024x768x24, Mesa llvmpipe; median of $runs interleaved rounds, ${seconds} s each;"
echo "60 fps search: best of $search_runs runs of 1.5 s per step"
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
libraries="vantrix vantrix-nobatch sfml-sprites sfml-array allegro love"

# The fixed-N figures, in interleaved rounds: one file per library and N.
for n in 1000 10000 50000; do
  r=0
  while [ "$r" -lt "$runs" ]; do
    for lib in $libraries; do
      f=$(fps "$lib" "$n" "$seconds")
      echo "${f:-0}" >>"$work/$lib-$n.txt"
    done
    r=$((r + 1))
  done
done

search_all

# median FILE: the median of the numbers in FILE, one a line.
median() {
  sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

printf '%-26s %10s %10s %10s %14s\n' library "N=1000" "N=10000" "N=50000" "largest N@60"
for lib in $libraries; do
  a=$(median "$work/$lib-1000.txt")
  b=$(median "$work/$lib-10000.txt")
  c=$(median "$work/$lib-50000.txt")
  eval "l=\$largest_$(echo "$lib" | tr - _)"
  name=$(library_name "$lib")
  printf '%-26s %10s %10s %10s %14s\n' "$name" "$a" "$b" "$c" "$l"
done
echo
echo "framebuffers granted (depth / stencil bits):"
sort -u "$work/granted.txt" | grep -E 'depth|stencil' || true
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

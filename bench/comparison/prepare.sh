# Sourced by the comparison scripts (POSIX sh): installs the other libraries
# for the benchmark only (Debian packages, plus $extra_packages), builds their
# bunnymark programs and the Vantrix one, and writes the sprite picture.
# Expects $build; sets $here, $root, $work (removed on exit), $vantrix and
# $env_run, and defines library_name.
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
case $build in /*) ;; *) build=$root/$build ;; esac
env_run="$root/tests/harness/vtx-test-env --xvfb"

packages="libsfml-dev liballegro5-dev liballegro-image5-dev love g++ pkg-config xvfb ${extra_packages:-}"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing" >&2
  apt-get update >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/bunnymark-comparison.XXXXXX")
trap 'rm -rf "$work"' EXIT
g++ -O2 -std=c++17 -o "$work/sfml_bunnymark" "$here/sfml_bunnymark.cpp" $(pkg-config --cflags --libs sfml-graphics)
g++ -O2 -std=c++17 -o "$work/allegro_bunnymark" "$here/allegro_bunnymark.cpp" \
  $(pkg-config --cflags --libs allegro-5 allegro_image-5)
cmake --build "$build" --target bunnymark >/dev/null
vantrix="$build/bench/bunnymark"
"$vantrix" --write-picture "$work/bunny.png"

# library_name LIBRARY: the name a table shows for a library's program.
library_name() {
  case $1 in
    vantrix) echo "Vantrix (batch)" ;;
    vantrix-nobatch) echo "Vantrix (VTX_NO_BATCH=1)" ;;
    sfml-sprites) echo "SFML (sf::Sprite each)" ;;
    sfml-array) echo "SFML (sf::VertexArray)" ;;
    allegro) echo "Allegro 5 (held drawing)" ;;
    love) echo "LOVE (draw, auto-batched)" ;;
  esac
}

#!/usr/bin/env bash
# example-demo.sh BUILD_DIR SOURCE_DIR WORK_DIR: installs the engine built in
# BUILD_DIR into WORK_DIR/prefix, builds examples/hello-demo against that
# prefix in WORK_DIR/hello and runs it headless: a benchmark, a capture whose
# frames must show the effect and change with time, and the data tools.
set -euo pipefail
build=$1 source=$2 work=$3
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work" && cd "$work"

cmake --install "$build" --prefix "$work/prefix" >install.log
for file in include/vexlar3d/player/T_Player.h include/vexlar3d/core/T_Vexlar.h lib/libvexlar3d.a \
            lib/cmake/Vexlar3D/Vexlar3DConfigVersion.cmake lib/cmake/Vexlar3D/VexlarEmbed.cmake \
            bin/vexlar-inspect bin/vexlar-pack; do
  [[ -e prefix/$file ]] || fail "the install lacks $file"
done

# The package's version: 2.0.0, and a request for version 3 is refused.
mkdir version && cat >version/CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(version LANGUAGES CXX)
find_package(Vexlar3D 3 CONFIG QUIET)
if(Vexlar3D_FOUND)
  message(FATAL_ERROR "version 3 accepted")
endif()
find_package(Vexlar3D 2.0 CONFIG REQUIRED)
if(NOT Vexlar3D_VERSION STREQUAL "2.0.0" OR NOT TARGET Vexlar3D::vexlar3d)
  message(FATAL_ERROR "found ${Vexlar3D_VERSION}")
endif()
CMAKE
cmake -S version -B version/build -DCMAKE_PREFIX_PATH="$work/prefix" >version.log || fail "version check: see version.log"

# Every engine name the guide uses (classes, globals, macros, functions,
# members in mixed case) is declared in the installed headers, in the example or in the
# guide's own code.
guide=$source/docs/writing-a-demo.md
missing=""
for name in $(grep -oE '\b(T_|g_|VEXLAR_)[A-Za-z0-9_]+|\b[A-Z][A-Za-z0-9]+(\(|::)|::[A-Z][A-Za-z0-9]+|`[a-zA-Z]+[A-Z][A-Za-z0-9]*`' \
              "$guide" | tr -d '(:`' | sort -u); do
  grep -rqw -- "$name" prefix/include "$source/examples/hello-demo" || grep -qw -- "class $name" "$guide" ||
    missing+=" $name"
done
[[ -z $missing ]] || fail "the guide names what nothing declares:$missing"

# The example, from its own folder, seeing only the installed engine.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$source/examples/hello-demo" -B hello -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" \
      -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "${launcher[@]}" >configure.log || fail "configure: see configure.log"
cmake --build hello >build.log || fail "build: see build.log"
! grep -qE -- "(-I|-isystem )$source[ \"]" hello/compile_commands.json || fail "the example sees the engine's sources"
cd hello

./hello-demo --bench >bench.txt || fail "--bench: $(cat bench.txt)"
grep -q "frames:     601" bench.txt || fail "--bench: $(cat bench.txt)"
./hello-demo --capture shots --fps 10 >capture.txt || fail "--capture: $(cat capture.txt)"
grep -q "captured 101 frames (10.1 s at 10 fps)" capture.txt || fail "--capture: $(cat capture.txt)"
mean() { convert-im6.q16 "shots/frame_0000$1.png" -format "%[fx:mean]" info:; }
differing() { compare-im6.q16 -metric AE "shots/frame_0000$1.png" "shots/frame_0000$2.png" null: 2>&1 || true; }
# Nothing is drawn at 0 s; the square shows from the fade-in on, and turns
# and pulses: frames a tenth of a second apart differ in many pixels.
[[ $(mean 00) == 0 ]] || fail "frame 0 is not black"
for frame in 10 30 55 80; do
  awk -v m="$(mean $frame)" 'BEGIN { exit !(m > 0.02) }' || fail "frame $frame is (nearly) black"
done
for pair in "30 31" "55 56"; do
  # shellcheck disable=SC2086
  (($(differing $pair) > 2000)) || fail "frames $pair hardly differ"
done

# The data tools: the release check of the demo's needs, a repeatable pack.
"$work/prefix/bin/vexlar-inspect" check --shaders hello --music hello.wav --length 10 >check.txt ||
  fail "check: $(cat check.txt)"
grep -q "no problems found" check.txt || fail "check: $(cat check.txt)"
"$work/prefix/bin/vexlar-pack" ../hello/packed again.zip >/dev/null
cmp -s again.zip Data/hello.zip || fail "vexlar-pack gives other bytes for the same files"
[[ $(unzip -Z1 again.zip | tr '\n' ' ') == "font.tga hello.tga hello.wav " ]] || fail "archive: $(unzip -Z1 again.zip)"
echo "the example demo builds and runs against the installed engine"

#!/usr/bin/env bash
# example-demo.sh BUILD_DIR SOURCE_DIR WORK_DIR: installs the engine built in
# BUILD_DIR into WORK_DIR/prefix, builds examples/hello-demo against that
# prefix in WORK_DIR/hello and runs it headless: a benchmark, a capture whose
# frames must show the effect and change with time, and the installed data
# tools. A smaller consumer checks the package's version and data embedding,
# and the guide's engine names are checked against the installed headers.
set -euo pipefail
build=$1 source=$2 work=$3
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work" && cd "$work"

cmake --install "$build" --prefix "$work/prefix" >install.log || fail "install: see install.log"

# A small consumer: the package's version is 2.0.0 and a request for 3 is
# refused; vexlar_embed_files links a file that the engine then opens.
mkdir consumer && echo "embedded bytes" >consumer/greeting.txt
cat >consumer/CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(consumer LANGUAGES CXX)
find_package(Vexlar3D 3 CONFIG QUIET)
if(Vexlar3D_FOUND)
  message(FATAL_ERROR "version 3 accepted")
endif()
find_package(Vexlar3D 2.0 CONFIG REQUIRED)
if(NOT Vexlar3D_VERSION STREQUAL "2.0.0")
  message(FATAL_ERROR "found ${Vexlar3D_VERSION}")
endif()
add_executable(embed main.cpp)
target_link_libraries(embed PRIVATE Vexlar3D::vexlar3d)
vexlar_embed_files(embed NAME greeting FILE greeting.txt)
CMAKE
cat >consumer/main.cpp <<'CPP'
#include "vexlar3d/resources/T_ResourceFile.h"
#include <cstdio>
int main()
{
    T_ResourceFile file;
    return file.Open("greeting") && std::fwrite(file.GetData(), 1, file.GetSize(), stdout) == file.GetSize() ? 0 : 1;
}
CPP
{ cmake -S consumer -B consumer/build -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" && cmake --build consumer/build; } \
  >consumer.log 2>&1 || fail "consumer: see consumer.log"
[[ $(cd consumer && build/embed) == "embedded bytes" ]] || fail "the embedded file does not read back"

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

#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with.
# Idempotent: runs apt-get (and its update) only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  zlib1g-dev libsndfile1-dev libvorbis-dev libopenmpt-dev libkissfft-dev libturbojpeg0-dev libpng-dev
  libfreetype-dev fonts-dejavu-core libstb-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  zip unzip default-jdk-headless python3 imagemagick libjpeg-turbo-progs sox libsox-fmt-all opus-tools
  apitrace assimp-utils
  libx11-dev xvfb openbox xdotool x11-apps x11-utils
)
if [[ "${VEXLAR_WITH_FFMPEG:-0}" == 1 ]]; then packages+=(ffmpeg); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

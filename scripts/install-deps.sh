#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the fuzzers and the benchmarks need.
# Idempotent; runs apt-get as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang-14 libclang-rt-14-dev clang-format-14 clang-tidy-14 cppcheck
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libfreetype-dev libfontconfig-dev fonts-liberation2 fonts-dejavu-core fonts-dejavu-extra
  libjpeg62-turbo-dev libgif-dev libpng-dev zlib1g-dev
  libcli11-dev nlohmann-json3-dev nettle-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libcups2-dev cups-daemon cups-client
  libudev-dev umockdev libumockdev-dev
  dbus help2man desktop-file-utils xdg-utils libglib2.0-bin shared-mime-info lintian
  ansible-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

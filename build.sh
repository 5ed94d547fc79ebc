#!/usr/bin/env bash
# PoolMetrics: set up, build and run.
#
#   ./build.sh demo    install what is missing, build, run one sensor request
#                      against the bundled emulated SAP landscape
#   ./build.sh test    install what is missing, build the native and the
#                      Windows programs (32- and 64-bit), run every test
#   ./build.sh build   build only
#   ./build.sh fuzz N  run every fuzz target for N seconds (a long run)
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${BUILD_DIR:-build}
# wine32 runs the 32-bit Windows program, wine64 the 64-bit one.
PACKAGES=(cmake ninja-build g++ libgtest-dev python3 libxml2-utils g++-mingw-w64-i686 g++-mingw-w64-x86-64
          wine wine32:i386 wine64 clang libclang-rt-14-dev)

# The demo needs only the native program and the emulated library.
DEMO_PACKAGES=(cmake ninja-build g++ libgtest-dev python3)

install_missing() {
  local missing=()
  local wanted=("${PACKAGES[@]}")
  [ "${1:-}" = demo ] && wanted=("${DEMO_PACKAGES[@]}")
  for p in "${wanted[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  # wine32 is a 32-bit package: the i386 architecture must be known first.
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# The same sources with clang, AddressSanitizer and UBSan, and the fuzz
# targets: unit tests, end-to-end scenarios (natively) and short fuzz runs.
build_sanitized() {
  CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR-asan" -G Ninja -DPOOLMETRICS_SANITIZE=ON \
    -DPOOLMETRICS_FUZZ=ON -DPOOLMETRICS_WINDOWS=OFF -DPOOLMETRICS_WERROR=${werror:-OFF} >/dev/null
  cmake --build "$BUILD_DIR-asan" -j "$(nproc)"
}

build() {
  werror=OFF
  [ -n "${CI:-}" ] && werror=ON
  cmake -S . -B "$BUILD_DIR" -G Ninja -DPOOLMETRICS_WERROR=$werror >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}

case "${1:-}" in
  demo)
    install_missing demo
    cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
    cmake --build "$BUILD_DIR" --target PoolMetrics PoolMetricsProfile rfc_emulator nwrfc_emulator
    examples/demo.sh "$BUILD_DIR"
    ;;
  test)
    install_missing
    build
    build_sanitized
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j 2
    ctest --test-dir "$BUILD_DIR-asan" --output-on-failure -j 2
    ;;
  fuzz)
    install_missing
    build_sanitized
    for t in "$BUILD_DIR-asan"/bin/fuzz_*; do
      name=${t##*/fuzz_}
      echo "== $name"
      fuzz/run.sh "${2:-600}" "$t" "fuzz/corpus/$name" "$BUILD_DIR-asan/fuzz/found/$name"
    done
    ;;
  build)
    build
    ;;
  *)
    sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
    exit 1
    ;;
esac

#!/usr/bin/env bash
# Builds the Windows deliverables (brumby.exe, ravlet.dll) with MinGW-w64 and
# their release zip (build/dist/), and the native trees (plain and sanitized)
# that carry the tests.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
jobs=${JOBS:-2}

echo "== windows build"
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j "$jobs"
echo "== release zip"
cmake --build build/windows --target release
echo "== native build"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DTUNEWELL_WINDOWS_BUILD="$here/build/windows" >/dev/null
cmake --build build/native -j "$jobs"
echo "== native build with sanitizers"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTUNEWELL_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j "$jobs"

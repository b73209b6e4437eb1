# shellcheck shell=bash
# The clang build of the fuzz targets in build-fuzz/, shared by tools/setup and tools/fuzz. Needs $root.
: "${root:?the project root, set by the script that sources this file}"
fuzz_dir="$root/build-fuzz"

# fuzz_build TARGET: configures build-fuzz/ the first time, then builds TARGET there.
fuzz_build() {
    if [ ! -f "$fuzz_dir/CMakeCache.txt" ]; then
        CXX=clang++ cmake -S "$root" -B "$fuzz_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIMARO_FUZZ=ON \
            -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
    fi
    cmake --build "$fuzz_dir" --target "$1"
}

# Toolchain file of the ppc64el cross build (preset croise-ppc64le, make
# croise): little-endian POWER, whose GNU triplet and qemu name differ.
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(kelvaro_triplet powerpc64le-linux-gnu)
set(kelvaro_qemu qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/croise.cmake)

# Toolchain file of the riscv64 cross build (preset croise-riscv64, make
# croise). Debian 12's archive has no riscv64 libraries, only the cross
# toolchain's C and C++ run-time: GoogleTest is built from its sources
# (Debian's googletest package) and the libvterm screen test is skipped.
set(CMAKE_SYSTEM_PROCESSOR riscv64)
set(kelvaro_bibliotheques /usr/riscv64-linux-gnu)
set(KELVARO_GTEST_SOURCES /usr/src/googletest)
include(${CMAKE_CURRENT_LIST_DIR}/croise.cmake)

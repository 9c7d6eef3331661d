# Toolchain file of the aarch64 cross build (preset croise-aarch64, make croise).
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/croise.cmake)

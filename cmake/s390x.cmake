# Toolchain file of the s390x cross build (preset croise-s390x, make croise).
set(CMAKE_SYSTEM_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/croise.cmake)

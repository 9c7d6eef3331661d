# What a cross build shares, included by the toolchain file of each target
# (cmake/aarch64.cmake, cmake/s390x.cmake) once it has named the processor:
# Debian's cross compiler for it, and qemu-user to run what the build makes
# (the tests, and the program they start).
set(CMAKE_SYSTEM_NAME Linux)
set(kelvaro_triplet ${CMAKE_SYSTEM_PROCESSOR}-linux-gnu)
set(CMAKE_CXX_COMPILER ${kelvaro_triplet}-g++)

find_program(KELVARO_QEMU qemu-${CMAKE_SYSTEM_PROCESSOR})
if(NOT KELVARO_QEMU)
  message(FATAL_ERROR "qemu-${CMAKE_SYSTEM_PROCESSOR} not found (Debian: qemu-user)")
endif()
# The emulated programs load the target's libraries from Debian's multiarch
# folders (/lib/${kelvaro_triplet}: libc6, libstdc++6 and libvterm0 of the
# target), the dynamic loader included. Not from the cross toolchain's
# folder (qemu's -L /usr/${kelvaro_triplet}): its loader would then take
# libvterm's libc from the multiarch folder, a different build of glibc, and
# the tests linked with libvterm hang at a pseudo-terminal.
set(CMAKE_CROSSCOMPILING_EMULATOR ${KELVARO_QEMU})

# Tools run on the build machine; libraries and headers are the target's,
# which the cross compiler finds on its own (its folder, then the multiarch
# ones such as /usr/lib/${kelvaro_triplet}).
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

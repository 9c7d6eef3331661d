# What a cross build shares, included by the toolchain file of each target
# (cmake/aarch64.cmake, ppc64le.cmake, riscv64.cmake, s390x.cmake) once it
# has named the processor: Debian's cross compiler for it, and qemu-user to
# run what the build makes (the tests, and the program they start). The
# GNU triplet and qemu's name default to the processor's name; ppc64le's
# toolchain file gives its own (powerpc64le-linux-gnu, qemu-ppc64le).
set(CMAKE_SYSTEM_NAME Linux)
if(NOT kelvaro_triplet)
  set(kelvaro_triplet ${CMAKE_SYSTEM_PROCESSOR}-linux-gnu)
endif()
if(NOT kelvaro_qemu)
  set(kelvaro_qemu qemu-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(CMAKE_CXX_COMPILER ${kelvaro_triplet}-g++)

find_program(KELVARO_QEMU ${kelvaro_qemu})
if(NOT KELVARO_QEMU)
  message(FATAL_ERROR "${kelvaro_qemu} not found (Debian: qemu-user)")
endif()
# The emulated programs load the target's libraries from Debian's multiarch
# folders (/lib/${kelvaro_triplet}: libc6, libstdc++6 and libvterm0 of the
# target), the dynamic loader included. Not from the cross toolchain's
# folder (qemu's -L /usr/${kelvaro_triplet}): its loader would then take
# libvterm's libc from the multiarch folder, a different build of glibc, and
# the tests linked with libvterm hang at a pseudo-terminal.
# A target that Debian 12's archive lacks (riscv64) has only the cross
# toolchain's libraries: its toolchain file sets kelvaro_bibliotheques to
# that folder, and qemu loads from there.
if(kelvaro_bibliotheques)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KELVARO_QEMU} -L ${kelvaro_bibliotheques})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KELVARO_QEMU})
endif()

# Tools run on the build machine; libraries and headers are the target's,
# which the cross compiler finds on its own (its folder, then the multiarch
# ones such as /usr/lib/${kelvaro_triplet}).
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

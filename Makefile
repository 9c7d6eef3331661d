# What the README's two commands, ./run and ./test, call once make is there.
.PHONY: run programme test release sanitize fuzz clean

# Builds the program alone (GoogleTest not needed) and starts it. Its normal
# end (status 1) and the end of its input (status 2) are no error here. A
# Ctrl-C that stops a listing reaches make as well, which reports it once
# the session ends: ./run starts the program itself for that reason.
run: programme
	@./build/release/kelvaro || [ $$? -le 2 ]

programme:
	cmake --preset release
	cmake --build --preset release --target kelvaro -j 2

release:
	cmake --preset release
	cmake --build --preset release -j 2

sanitize:
	cmake --preset sanitize
	cmake --build --preset sanitize -j 2

# Every test, on the optimised build and under the sanitizers, and the
# threaded listings' tests under ThreadSanitizer: a line per test and a last
# one counting the three runs (tools/tester).
test:
	@tools/tester

# Each libFuzzer target for FUZZ_SECONDES (clang++ needed), starting from the
# corpus under fuzz/corpus; what it finds new goes to build/fuzz/nouveau.
# A crash or a failed check stops with an error.
FUZZ_SECONDES ?= 30
fuzz:
	cmake --preset fuzz
	cmake --build --preset fuzz -j 2
	for cible in lecteur:1024 seance:256; do \
	  nom=$${cible%%:*}; mkdir -p build/fuzz/nouveau/$$nom build/fuzz/fautes && \
	  build/fuzz/fuzz/$${nom}_fuzz -max_total_time=$(FUZZ_SECONDES) \
	    -timeout=10 -max_len=$${cible##*:} -dict=fuzz/$$nom.dict \
	    -artifact_prefix=build/fuzz/fautes/ \
	    build/fuzz/nouveau/$$nom fuzz/corpus/$$nom || exit 1; \
	done

# The program and its tests cross-built ("croise": crossed), for each
# architecture of ARCH (all four of Debian's other 64-bit ones by default:
# aarch64, ppc64le, riscv64, s390x), in build/croise-<arch> with the release
# flags, then every test run under qemu-user. What is missing for that (the
# cross compiler, qemu-user, the target's GoogleTest, libvterm and run-time
# libraries) is installed first (tools/installer).
ARCH ?= aarch64 ppc64le riscv64 s390x
.PHONY: croise
croise:
	@bash -c '. tools/installer && for a in $(ARCH); do \
	  besoin_croise $$a || exit 1; done && installer_manquants'
	for a in $(ARCH); do \
	  cmake --preset croise-$$a && cmake --build --preset croise-$$a -j 2 && \
	  ctest --preset croise-$$a -j 2 || exit 1; \
	done

clean:
	rm -rf build

# Static checks of src/ and tests/ (see tools/lint), and the Debian package
# build/release/kelvaro_<version>_<arch>.deb. The package's bytes depend on
# the commit only: its time stamps come from the last commit and the umask,
# which sets the modes of its folders, is Debian's usual 022.
.PHONY: lint package

lint:
	tools/lint

package: outils_du_paquet release
	cd build/release && umask 022 && cpack

# The tools the package's dependencies are read with, looked for before
# anything is built: when one is missing, make stops on this one message.
.PHONY: outils_du_paquet
manque_au_paquet = $(strip $(if $(shell command -v dpkg-shlibdeps),,dpkg-dev) \
  $(if $(shell command -v file),,file))
outils_du_paquet:
	$(if $(manque_au_paquet),$(error no package without dpkg-shlibdeps and \
	  file; install as root: apt-get install -y --no-install-recommends \
	  $(manque_au_paquet) (or run ./test, which installs them)))

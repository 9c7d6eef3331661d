# The two commands of the README: `make run` and `make test`.
.PHONY: run test release sanitize fuzz clean

run: release
	./build/release/kelvaro

release:
	cmake --preset release
	cmake --build --preset release -j 2

sanitize:
	cmake --preset sanitize
	cmake --build --preset sanitize -j 2

# Every test, on the optimised build and under the sanitizers.
test: release sanitize
	ctest --preset release -j 2
	ctest --preset sanitize -j 2

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

clean:
	rm -rf build

# Static checks of src/ and tests/ (see tools/lint), and the Debian package
# build/release/kelvaro_<version>_<arch>.deb.
.PHONY: lint package

lint:
	tools/lint

package: release
	cd build/release && cpack

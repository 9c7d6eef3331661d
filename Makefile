# The two commands of the README: `make run` and `make test`.
.PHONY: run test release sanitize clean

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

clean:
	rm -rf build

# Static checks of src/ and tests/ (see tools/lint), and the Debian package
# build/release/kelvaro_<version>_<arch>.deb.
.PHONY: lint package

lint:
	tools/lint

package: release
	cd build/release && cpack

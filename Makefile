# Entry points. Every configuration is a preset in CMakePresets.json, which
# scripts/presets.py prepares (packages, cross toolchain, sysroot) and runs:
# `make test-NAME` runs the workflow preset NAME; `cmake --list-presets=all`
# lists them.
PRESETS := scripts/install-deps.sh python3 && python3 scripts/presets.py

.PHONY: demo test package bench abi-baseline clean

# The default preset (build/): build, then load the plug-in and show what it does.
demo:
	$(PRESETS) prepare default
	cmake --preset default
	cmake --build --preset default
	build/acrhost/acrhost demo

# The default preset's workflow: build, then run every test.
test:
	$(PRESETS) run default

# The Debian packages of the default build, in build/packages/ (`make
# test-armhf` leaves armhf's in build-armhf/packages/, and so on).
package:
	$(PRESETS) prepare default
	cmake --preset default
	cmake --build --preset default
	cd build && cpack

# The benchmarks' table and growth chart (build-bench/bench/);
# `make test-bench-callgrind` counts instructions instead.
bench: test-bench

# Refreshes every ABI baseline in abi/ after an intended change of the
# exported set, from the builds of the default, armhf, arm64 and old-abi presets.
ABIDW := abidw --headers-dir include --drop-private-types --short-locs --no-corpus-path \
         --no-comp-dir-path
abi-baseline:
	$(PRESETS) prepare default armhf arm64 old-abi
	for preset in default armhf arm64 old-abi; do \
	  cmake --preset $$preset && cmake --build --preset $$preset || exit 1; done
	$(ABIDW) --out-file abi/libVomaxel.$(shell uname -m).abi build/libVomaxel.so
	$(ABIDW) --out-file abi/libVomaxel.$(shell uname -m).old-abi.abi build-old-abi/libVomaxel.so
	$(ABIDW) --out-file abi/libVomaxel.armhf.abi build-armhf/libVomaxel.so
	$(ABIDW) --out-file abi/libVomaxel.aarch64.abi build-arm64/libVomaxel.so

test-%:
	$(PRESETS) run $*

clean:
	rm -rf build build-*

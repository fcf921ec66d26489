# Entry points. Every configuration is a preset of cmake/configurations.json
# (CMakePresets.json is generated from it), which scripts/presets.py prepares
# (packages, cross toolchain, sysroot, receiver SDK) and runs: `make test-NAME`
# runs the workflow preset NAME; `cmake --list-presets=all` lists them.
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
# exported set, from the builds of the presets marked "abiBaseline".
abi-baseline:
	$(PRESETS) abi-baseline

test-%:
	$(PRESETS) run $*

clean:
	rm -rf build build-*

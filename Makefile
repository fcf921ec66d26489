# Entry points. Every configuration is a preset of cmake/configurations.json,
# which scripts/presets.py prepares and runs: `make test-NAME` runs the
# workflow preset NAME; `cmake --list-presets=all` lists them.
PRESETS := scripts/install-deps.sh python3 && python3 scripts/presets.py
BUILD := $(PRESETS) prepare default && cmake --preset default && cmake --build --preset default

.PHONY: demo test package bench abi-baseline clean

# Build the default preset (build/), then show what the plug-in does.
demo:
	$(BUILD) && build/acrhost/acrhost demo

test:
	$(PRESETS) run default

# The default build's Debian packages, in build/packages/.
package:
	$(BUILD) && cd build && cpack

# The benchmarks' table and growth chart (build-bench/bench/);
# `make test-bench-callgrind` counts instructions instead.
bench: test-bench

# Refreshes the ABI baselines in abi/ after an intended change of the exports.
abi-baseline:
	$(PRESETS) abi-baseline

test-%:
	$(PRESETS) run $*

clean:
	rm -rf build build-*

# Entry points over CMake. `make demo` runs the main job, `make test` every test.
# The other test targets build into their own folders beside $(BUILD).
BUILD ?= build
ARMHF_BUILD ?= build-armhf
SANITIZE_BUILD ?= build-sanitize
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc)
PACKAGES := g++ make cmake pkg-config binutils libjsoncpp-dev libssl-dev libboost-dev \
            libgtest-dev libgmock-dev libcli11-dev openssl abigail-tools valgrind
BENCH_BUILD ?= build-bench
BENCH_PACKAGES := g++ make cmake pkg-config libjsoncpp-dev libssl-dev libboost-dev \
                  libbenchmark-dev gnuplot-nox valgrind python3
# Nine repetitions of every case, in random order; the table takes their medians.
BENCH_FLAGS ?= --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true \
               --benchmark_report_aggregates_only=true --benchmark_min_time=0.05

.PHONY: all deps configure build demo test clean bench bench-build bench-callgrind \
        armhf-deps build-armhf test-armhf abi-check abi-baseline test-sanitize test-tsan \
        test-valgrind build-fuzz fuzz-smoke fuzz

all: build

deps:
	@scripts/install-deps.sh $(PACKAGES)

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(BUILD)/acrhost/acrhost demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

            libgtest-dev libgmock-dev libcli11-dev openssl abigail-tools valgrind
# its floor, and the growth chart under $(BENCH_BUILD)/.
bench-build:
	@scripts/install-deps.sh $(BENCH_PACKAGES)
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DVOMAXEL_BUILD_BENCH=ON \
	  -DBUILD_TESTING=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target vomaxel_bench

bench: bench-build
	$(BENCH_BUILD)/bench/vomaxel_bench $(BENCH_FLAGS) --benchmark_out_format=json \
	  --benchmark_out=$(BENCH_BUILD)/bench.json >$(BENCH_BUILD)/bench.txt
	python3 bench/report.py $(BENCH_BUILD)/bench.json
	bench/growth_chart.sh $(BENCH_BUILD)/bench.json $(BENCH_BUILD)/growth.png

# Instruction counts under callgrind, operation against floor.
bench-callgrind: bench-build
	bench/callgrind.sh $(BENCH_BUILD)/bench/vomaxel_bench

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(ARMHF_BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)

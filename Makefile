# Entry points over CMake. `make demo` runs the main job, `make test` every test.
# The other test targets build into their own folders beside $(BUILD).
BUILD ?= build
ARMHF_BUILD ?= build-armhf
ARM64_BUILD ?= build-arm64
SANITIZE_BUILD ?= build-sanitize
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
JSONCPP_BUILD ?= build-jsoncpp
OLD_ABI_BUILD ?= build-old-abi
OLD_ABI_DEPS ?= build-old-abi-deps
SYSROOT_DIR ?= build-sysroot
# jsoncpp's release archives, for the old string ABI's own build of it and the jsoncpp matrix.
JSONCPP_SOURCES ?= ../shared/jsoncpp
JOBS ?= $(shell nproc)
# WERROR=ON: warnings are errors in $(BUILD) (CI's GCC 12 leg).
WERROR ?=
PACKAGES := g++ make cmake pkg-config binutils libjsoncpp-dev libssl-dev libboost-dev \
            libgtest-dev libgmock-dev libcli11-dev openssl abigail-tools valgrind \
            dpkg-dev file help2man lintian
BENCH_BUILD ?= build-bench
BENCH_PACKAGES := g++ make cmake pkg-config libjsoncpp-dev libssl-dev libboost-dev \
                  libbenchmark-dev gnuplot-nox valgrind python3
# Nine repetitions of every case, in random order; the table takes their medians.
BENCH_FLAGS ?= --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true \
               --benchmark_report_aggregates_only=true --benchmark_min_time=0.05

.PHONY: all deps configure build demo test package clean bench bench-build bench-callgrind \
        armhf-deps build-armhf test-armhf package-armhf arm64-deps build-arm64 test-arm64 \
        package-arm64 abi-check abi-baseline test-sanitize test-tsan test-valgrind build-fuzz \
        fuzz-smoke fuzz build-old-abi test-old-abi sysroot build-sysroot test-sysroot test-compilers \
        test-jsoncpp

all: build

deps:
	@scripts/install-deps.sh $(PACKAGES)

# The package test of each build installs the packages of the others beside its own.
PACKAGE_PEERS := -DVOMAXEL_PACKAGE_PEERS="$(abspath $(BUILD));$(abspath $(ARMHF_BUILD));$(abspath $(ARM64_BUILD))"

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(PACKAGE_PEERS) \
	  $(if $(WERROR),-DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR))

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(BUILD)/acrhost/acrhost demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian packages (plug-in, development files, acrhost) in $(BUILD)/packages/.
package: build
	cd $(BUILD) && cpack

# AddressSanitizer and UndefinedBehaviorSanitizer: every report ends the run.
# The linkage and package tests are left out: the runtimes join the plug-in's
# NEEDED list, and must come first in any process that loads it.
# ASan's dlopen interceptor becomes the caller that the loader takes the run
# path from, so acrhost finds the plug-in through LD_LIBRARY_PATH here.
# (GCC's -Wmaybe-uninitialized misfires on libstdc++'s std::regex under ASan.)
SANITIZE_FLAGS := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
                  -Wno-maybe-uninitialized
SANITIZE_ENV := ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_odr_violation=2:$\
                detect_stack_use_after_return=1:strict_init_order=1 \
                UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)"
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && LD_LIBRARY_PATH=$(CURDIR)/$(SANITIZE_BUILD) $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS) -E '^(linkage|package)\.'

# ThreadSanitizer over the concurrent decoding test.
TSAN_ENV := TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=thread
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target concurrency_test
	cd $(TSAN_BUILD) && $(TSAN_ENV) ctest --output-on-failure -R '^ConcurrencyTest\.'

# libFuzzer targets (clang): `make fuzz-smoke` for CI, `make fuzz TIME=600`.
TIME ?= 600
SMOKE_TIME ?= 20
build-fuzz: deps
	@scripts/install-deps.sh clang-14 libclang-rt-14-dev
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DVOMAXEL_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

fuzz-smoke: build-fuzz
	scripts/run-fuzzers.sh $(FUZZ_BUILD) $(SMOKE_TIME)

fuzz: build-fuzz
	scripts/run-fuzzers.sh $(FUZZ_BUILD) $(TIME)

# memcheck over each test executable: no error and no definite or indirect
# leak. The log module objects live until unload by design: still reachable.
test-valgrind: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -C valgrind -R '^valgrind\.'

# Every compiler a platform may bring, warnings as errors, the whole suite:
# test-compiler-g++-11 builds in build-g++-11, and so on; test-compilers runs
# them all. The Clang build also masks the key texts in the log
# (VOMAXEL_MASK_KEYS), so that the suite sees both forms of those lines.
COMPILERS := g++-12 g++-11 clang++-14
define COMPILER_TARGET
test-compiler-$(1): deps
	@scripts/install-deps.sh $(subst clang++,clang,$(1))
	cmake -S . -B build-$(1) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$(1) \
	  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON $(if $(findstring clang,$(1)),-DVOMAXEL_MASK_KEYS=ON)
	cmake --build build-$(1) -j $$(JOBS)
	cd build-$(1) && ctest --output-on-failure -j $$(JOBS)
.PHONY: test-compiler-$(1)
endef
$(foreach cxx,$(COMPILERS),$(eval $(call COMPILER_TARGET,$(cxx))))
test-compilers: $(addprefix test-compiler-,$(COMPILERS))

# ARM, cross-built, every test run under qemu-user: build-armhf, test-armhf,
# package-armhf (packages in $(ARMHF_BUILD)/packages/) and the same for arm64.
# $(1): the Debian architecture, $(2): the prefix of its build folder's variable.
define CROSS_TARGETS
$(1)-deps:
	@scripts/install-cross-deps.sh $(1)

build-$(1): deps $(1)-deps
	cmake -S . -B $$($(2)_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(PACKAGE_PEERS) \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/$(1)-toolchain.cmake
	cmake --build $$($(2)_BUILD) -j $$(JOBS)

test-$(1): build-$(1)
	cd $$($(2)_BUILD) && ctest --output-on-failure -j $$(JOBS)

package-$(1): build-$(1)
	cd $$($(2)_BUILD) && cpack
endef
$(eval $(call CROSS_TARGETS,armhf,ARMHF))
$(eval $(call CROSS_TARGETS,arm64,ARM64))

# libstdc++'s old string ABI: jsoncpp (from $(JSONCPP_SOURCES)) and GoogleTest
# built with it into $(OLD_ABI_DEPS), kept between runs; then everything built
# with it and run, the self-test included. The plug-in has no run path: its
# jsoncpp comes through the loader's path, as on a receiver.
OLD_ABI_SKIP := package.deb (label debian-packages): its packages depend on Debian's jsoncpp, \
                which has the new string ABI
build-old-abi: deps
	@scripts/install-deps.sh googletest
	scripts/build-old-abi-deps.sh $(OLD_ABI_DEPS) $(JSONCPP_SOURCES) $(JOBS)
	cmake -S . -B $(OLD_ABI_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOMAXEL_OLD_STRING_ABI=ON \
	  -DCMAKE_PREFIX_PATH="$(CURDIR)/$(OLD_ABI_DEPS)/jsoncpp;$(CURDIR)/$(OLD_ABI_DEPS)/googletest"
	cmake --build $(OLD_ABI_BUILD) -j $(JOBS)

test-old-abi: build-old-abi
	@echo "test-old-abi: left out: $(OLD_ABI_SKIP)"
	cd $(OLD_ABI_BUILD) && LD_LIBRARY_PATH=$(CURDIR)/$(OLD_ABI_DEPS)/jsoncpp/lib \
	  ctest --output-on-failure -j $(JOBS) -LE '^debian-packages$$'
	LD_LIBRARY_PATH=$(CURDIR)/$(OLD_ABI_DEPS)/jsoncpp/lib \
	  $(OLD_ABI_BUILD)/acrhost/acrhost selftest >$(OLD_ABI_BUILD)/selftest.out || \
	  { cat $(OLD_ABI_BUILD)/selftest.out; exit 1; }
	tail -n 1 $(OLD_ABI_BUILD)/selftest.out

# 32-bit ARM built as Yocto and Buildroot build: against a sysroot of the
# target's packages ($(SYSROOT_DIR)/sysroot, kept between runs), then checked
# for any folder outside it and run under qemu-arm -L with it.
SYSROOT_SKIP := package.deb (label debian-packages): dpkg-shlibdeps and the sample host's build \
                use the build machine's package database and multiarch folders, not the sysroot
sysroot:
	@scripts/install-deps.sh crossbuild-essential-armhf qemu-user
	scripts/make-sysroot.sh armhf $(SYSROOT_DIR)

build-sysroot: deps sysroot
	cmake -S . -B $(SYSROOT_DIR)/build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/armhf-sysroot-toolchain.cmake \
	  -DVOMAXEL_SYSROOT=$(CURDIR)/$(SYSROOT_DIR)/sysroot -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
	cmake --build $(SYSROOT_DIR)/build -j $(JOBS)
	scripts/check-sysroot-build.sh $(SYSROOT_DIR)/build $(SYSROOT_DIR)/sysroot . arm-linux-gnueabihf-g++

test-sysroot: build-sysroot
	@echo "test-sysroot: left out: $(SYSROOT_SKIP)"
	cd $(SYSROOT_DIR)/build && ctest --output-on-failure -j $(JOBS) -LE '^debian-packages$$'

# The binary interface against abi/ (also part of every test suite), for the
# native build and for each ARM build that exists.
abi-check: build
	cd $(BUILD) && ctest --output-on-failure -R '^abi\.'
	for dir in $(ARMHF_BUILD) $(ARM64_BUILD) $(OLD_ABI_BUILD); do \
	  if [ -f $$dir/CTestTestfile.cmake ]; then \
	    (cd $$dir && ctest --output-on-failure -R '^abi\.') || exit 1; fi; done

# Refreshes every baseline after an intended change of the exported set.
ABIDW := abidw --headers-dir include --drop-private-types --short-locs --no-corpus-path \
         --no-comp-dir-path
abi-baseline: build build-armhf build-arm64 build-old-abi
	$(ABIDW) --out-file abi/libVomaxel.$(shell uname -m).abi $(BUILD)/libVomaxel.so
	$(ABIDW) --out-file abi/libVomaxel.$(shell uname -m).old-abi.abi $(OLD_ABI_BUILD)/libVomaxel.so
	$(ABIDW) --out-file abi/libVomaxel.armhf.abi $(ARMHF_BUILD)/libVomaxel.so
	$(ABIDW) --out-file abi/libVomaxel.aarch64.abi $(ARM64_BUILD)/libVomaxel.so

# Every jsoncpp release a receiver may carry, each built once from its archive
# in JSONCPP_SOURCES into $(JSONCPP_BUILD)/<leg>/jsoncpp/: the plug-in,
# acrhost and every test against it; 1.7.4 on armhf too; the fuzz smoke on
# 1.7.4 and 1.8.4 (JSONCPP_FUZZ_TIME seconds per target). JSONCPP_LEGS picks
# legs; see scripts/jsoncpp-matrix.sh.
JSONCPP_LEGS ?= 1.7.4 1.7.4-armhf 1.7.4-fuzz 1.8.4 1.8.4-fuzz 1.9.4 1.9.6 1.9.8
JSONCPP_FUZZ_TIME ?= 10
test-jsoncpp: deps
	@scripts/install-deps.sh clang-14 libclang-rt-14-dev
	JSONCPP_ARCHIVES=$(JSONCPP_SOURCES) JSONCPP_BUILD=$(JSONCPP_BUILD) JOBS=$(JOBS) \
	  FUZZ_TIME=$(JSONCPP_FUZZ_TIME) scripts/jsoncpp-matrix.sh $(JSONCPP_LEGS)

# Benchmarks: Release build of its own; the table of every operation against
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
	rm -rf $(BUILD) $(BENCH_BUILD) $(ARMHF_BUILD) $(ARM64_BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD) \
	  $(FUZZ_BUILD) $(OLD_ABI_BUILD) $(OLD_ABI_DEPS) $(SYSROOT_DIR) $(addprefix build-,$(COMPILERS)) \
	  $(JSONCPP_BUILD)

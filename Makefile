# Entry points over CMake. `make demo` runs the main job, `make test` every test.
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES := g++ make cmake pkg-config binutils libjsoncpp-dev libssl-dev libboost-dev \
            libgtest-dev libgmock-dev libcli11-dev openssl

.PHONY: all deps configure build demo test clean

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

clean:
	rm -rf $(BUILD)

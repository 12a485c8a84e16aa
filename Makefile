# Quellbid: make run | make test | make bench | make fuzz
BUILD     ?= build
GENERATOR ?= Ninja
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all setup configure build run test bench fuzz package pictures clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD) -G $(GENERATOR) $(CMAKE_FLAGS); fi

build: configure
	@cmake --build $(BUILD)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j2
	@bash scripts/sanitize.sh build-asan

bench: build
	@bash scripts/bench.sh $(BUILD)

# A Debian package in build/package/, checked with lintian and appstreamcli.
package: build
	@bash scripts/package.sh $(BUILD)

# Renews the pictures in docs/ (the control gallery, the calculator, the
# statistics window, and screenshots of the real program under Xvfb).
pictures: build
	@cmake --build $(BUILD) --target pictures

fuzz: setup
	@bash scripts/fuzz.sh

clean:
	rm -rf $(BUILD) build-asan build-fuzz

# Quellbid: make run | make test | make bench | make fuzz
BUILD     ?= build
GENERATOR ?= Ninja
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Warnings are errors (so `make run` and `make test` share one build);
# QB_WERROR=OFF overrides.
QB_WERROR ?= ON

# The build folder is configured afresh, from an empty cache, whenever these
# differ from the ones it was configured with (kept in $(BUILD)/.qb-configure).
CONFIGURATION := $(GENERATOR) | -DQB_WERROR=$(QB_WERROR) $(CMAKE_FLAGS)
CONFIGURED := $(shell cat $(BUILD)/.qb-configure 2>/dev/null)

.PHONY: all setup configure build run test bench fuzz package pictures format clean

all: build

setup:
	@bash scripts/setup.sh

configure: export QB_CONFIGURATION := $(CONFIGURATION)
configure: setup
ifneq ($(strip $(CONFIGURED)),$(strip $(CONFIGURATION)))
	rm -rf $(BUILD)/.qb-configure $(BUILD)/CMakeCache.txt $(BUILD)/CMakeFiles
	cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DQB_WERROR=$(QB_WERROR) $(CMAKE_FLAGS)
	@printf '%s\n' "$$QB_CONFIGURATION" > $(BUILD)/.qb-configure
endif

build: configure
	@cmake --build $(BUILD)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	@bash scripts/format.sh --check
	@cd $(BUILD) && ctest --output-on-failure -j2
	@QB_WERROR=$(QB_WERROR) bash scripts/sanitize.sh build-asan

bench: build
	@bash scripts/bench.sh $(BUILD)

# A Debian package in build/package/, checked with lintian and appstreamcli.
package: build
	@bash scripts/package.sh $(BUILD)

# Renews the pictures in docs/ (the control gallery, the calculator, the
# statistics window, and screenshots of the real program under Xvfb).
pictures: build
	@cmake --build $(BUILD) --target pictures

# Formats every C++ file with the root .clang-format (make test checks it).
format:
	@bash scripts/format.sh

fuzz: setup
	@bash scripts/fuzz.sh

clean:
	rm -rf $(BUILD) build-asan build-fuzz

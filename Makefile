# Velmora: `make run` sets up, builds and starts the program; `make test`
# sets up, builds and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# ccache, when the machine has it, makes rebuilds in several checkouts cheap.
CMAKE_FLAGS ?= $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
DEMO_DIR ?= $(BUILD)/demo
# Where `make install` puts the programs, manuals and desktop files.
PREFIX ?= /usr/local

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=

# The build folder is configured for what a target needs: `make run`,
# `make install` and `make package` build the programs (and the manuals)
# without the tests and benchmarks, so they need fewer packages; `make
# build` and `make test` build everything. CMAKE_FLAGS come last and win.
CONFIGURE = cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
PROGRAMS_ONLY = -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
EVERYTHING = -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCH=ON

.PHONY: all deps configure build test programs release run demo install uninstall package asan fuzz clean

all: build

# Every package that building and testing need (scripts/install-deps.sh
# names the groups).
deps:
	@bash scripts/install-deps.sh test

configure: deps
	@$(CONFIGURE) $(EVERYTHING) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The two programs alone.
programs:
	@bash scripts/install-deps.sh run
	@$(CONFIGURE) $(PROGRAMS_ONLY) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target velmora velmora-cli

# The programs with their manuals: what an installation holds.
release:
	@bash scripts/install-deps.sh package
	@$(CONFIGURE) $(PROGRAMS_ONLY) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

demo: programs
	@bash scripts/make-demo.sh $(BUILD) $(DEMO_DIR)

run: demo
	@bash scripts/run.sh $(BUILD) $(DEMO_DIR)

# Installs under PREFIX and brings its file-type and menu databases up to
# date; `make uninstall` with the same PREFIX takes it all away again.
install: release
	@bash scripts/install.sh $(BUILD) "$(PREFIX)"

uninstall:
	@bash scripts/uninstall.sh $(BUILD) "$(PREFIX)"

# The Debian package: $(BUILD)/velmora_<version>_<arch>.deb
package: release
	@cd $(BUILD) && cpack -G DEB

# The tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	@$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DVELMORA_SANITIZE=ON -DVELMORA_BUILD_UI=ON -DVELMORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo"

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS
# (FUZZ_TARGETS to choose some). Needs clang and libclang-rt; 'make test'
# replays their stored corpora with any compiler.
fuzz:
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_FUZZ=ON \
		-DVELMORA_BUILD_UI=OFF -DVELMORA_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@bash scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) build-asan $(FUZZ_BUILD)

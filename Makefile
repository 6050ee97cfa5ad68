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

.PHONY: all deps configure build test run demo install package asan fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

demo: build
	@bash scripts/make-demo.sh $(BUILD) $(DEMO_DIR)

run: demo
	@bash scripts/run.sh $(BUILD) $(DEMO_DIR)

# The file-type and menu databases of the prefix are brought up to date, so
# that a double click on a project opens it.
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX) --strip
	@if command -v update-mime-database >/dev/null; then update-mime-database "$(PREFIX)/share/mime"; fi
	@if command -v update-desktop-database >/dev/null; then update-desktop-database "$(PREFIX)/share/applications"; fi

# The Debian package: $(BUILD)/velmora_<version>_<arch>.deb
package: build
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

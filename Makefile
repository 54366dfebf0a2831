# Front door: `make run` installs what is missing, builds and runs the main job; `make test` builds and runs
# every test. Variables: BUILD (build folder), SANITIZE ("address,undefined" or "thread"), WERROR (ON/OFF).
# `make install PREFIX=...` and `make package` build apart, in DIST, without the source-tree data fallback.

BUILD    ?= build
SANITIZE ?=
WERROR   ?= OFF
TYPE     ?= RelWithDebInfo
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX   ?= /usr/local
DIST     ?= build-dist

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE) -DCORVATIN_SANITIZE="$(SANITIZE)" -DCORVATIN_WERROR=$(WERROR)

.PHONY: all deps configure build test run gui screenshots bench bench-batch fuzz validate mutants clean dist install package

all: build

deps:
	@bash scripts/deps.sh

# Every target that builds goes through deps first: a machine with only part of the tools (cmake and ninja but
# no CLI11, say) gets the rest before the configure step could fail on it. deps.sh is the one list.
$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@bash scripts/run-sample.sh $(BUILD)

gui: build
	$(BUILD)/app/corvatin

# PNGs of every window and view state, drawn on the offscreen platform by the workbench tests.
screenshots: build
	@bash scripts/screenshots.sh $(BUILD)

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVATIN_BUILD_BENCHMARKS=ON -DCORVATIN_BUILD_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

# Structures per second and peak memory of the batch tool (Release build, build-release/), RDKit as yardstick.
bench-batch: deps
	@bash scripts/bench-batch.sh

fuzz:
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

validate:
	@bash scripts/validate.sh

# The build that is installed and packaged: optimised, no tests, data only from share/corvatin beside bin/.
$(DIST)/build.ninja:
	cmake -S . -B $(DIST) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVATIN_BUILD_TESTS=OFF \
	  -DCORVATIN_BUILD_TOOLS=OFF -DCORVATIN_SOURCE_TREE_DATA=OFF

dist: deps $(DIST)/build.ninja
	cmake --build $(DIST) -j $(JOBS)

# Into PREFIX (default /usr/local; DESTDIR is honoured): bin/, share/corvatin/, share/man/man1/, share/doc/corvatin/.
install: dist
	DESTDIR=$(DESTDIR) cmake --install $(DIST) --prefix $(PREFIX) --strip

# corvatin_<version>_amd64.deb in this folder, after the installed tree has passed scripts/check-install.sh.
package: dist
	@bash scripts/check-install.sh $(DIST)
	rm -rf $(DIST)/package
	cd $(DIST) && cpack -G DEB -B $(CURDIR)/$(DIST)/package
	cp $(DIST)/package/corvatin_*.deb .

# Plants the faults listed in scripts/mutants.tsv one at a time in a scratch copy and checks that a test fails.
mutants:
	@JOBS=$(JOBS) bash scripts/mutants.sh $(MUTANTS)

clean:
	rm -rf build build-* 

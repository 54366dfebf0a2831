# Front door: `make run` installs what is missing, builds and runs the main job; `make test` builds and runs
# every test. Variables: BUILD (build folder), SANITIZE ("address,undefined" or "thread"), WERROR (ON/OFF).

BUILD    ?= build
SANITIZE ?=
WERROR   ?= OFF
TYPE     ?= RelWithDebInfo
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE) -DCORVATIN_SANITIZE="$(SANITIZE)" -DCORVATIN_WERROR=$(WERROR)

.PHONY: all deps configure build test run gui screenshots bench fuzz validate mutants clean

all: build

deps:
	@bash scripts/deps.sh

$(BUILD)/build.ninja:
	@command -v cmake >/dev/null && command -v ninja >/dev/null || bash scripts/deps.sh
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: deps build
	@bash scripts/run-sample.sh $(BUILD)

gui: deps build
	$(BUILD)/app/corvatin

# PNGs of every window and view state, drawn on the offscreen platform by the workbench tests.
screenshots: deps build
	@bash scripts/screenshots.sh $(BUILD)

bench:
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVATIN_BUILD_BENCHMARKS=ON -DCORVATIN_BUILD_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

fuzz:
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

validate:
	@bash scripts/validate.sh

# Plants the faults listed in scripts/mutants.tsv one at a time in a scratch copy and checks that a test fails.
mutants:
	@JOBS=$(JOBS) bash scripts/mutants.sh $(MUTANTS)

clean:
	rm -rf build build-* 

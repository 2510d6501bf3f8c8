# The two commands: `make run` starts the program under Wine, `make test` runs every test.
# Each installs what it needs first (scripts/setup.sh, idempotent) and builds.
# SOREL_I686=off skips the 32-bit Wine tier (to try the path taken on machines that cannot run it).
BUILD := build
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja
export SOREL_I686 ?= auto

FUZZ_SECONDS ?= 600

.PHONY: all setup native win32 win64 fuzz-build dist test test-native test-win32 test-win64 test-installer check-imports run bench fuzz clean

all: native win32 win64

setup:
	@bash scripts/setup.sh

native: setup
	@cmake -S . -B $(BUILD)/native $(CMAKE_GEN) >/dev/null
	@cmake --build $(BUILD)/native -j $(JOBS)

win32: setup
	@cmake -S . -B $(BUILD)/win32 $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-i686.cmake >/dev/null
	@cmake --build $(BUILD)/win32 -j $(JOBS)

win64: setup
	@cmake -S . -B $(BUILD)/win64 $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-x86_64.cmake >/dev/null
	@cmake --build $(BUILD)/win64 -j $(JOBS)

# The libFuzzer targets, built with clang and the sanitizers in a build of their own.
fuzz-build: setup
	@cmake -S . -B $(BUILD)/fuzz $(CMAKE_GEN) -DSOREL_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(BUILD)/fuzz -j $(JOBS)

# Runs every fuzz target of fuzz/targets for FUZZ_SECONDS each (10 minutes unless told; FUZZ_TARGETS
# names a few), keeping their corpora in build/fuzz/corpus.
fuzz: fuzz-build
	@scripts/fuzz $(BUILD)/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The benchmarks: the table store natively on the in-memory platform, then under Wine the save
# against `reg import`, the preview's sheet refresh and an HTTP download against native curl (the
# 32-bit programs where this machine runs them, else the 64-bit ones).
bench: native win32 win64
	@$(BUILD)/native/bench/sorel_bench --benchmark_filter='Save|Edit'
	@if scripts/can-run-i686 >/dev/null; then scripts/with-display scripts/bench-save i686 $(BUILD)/win32; \
	 else scripts/with-display scripts/bench-save x86_64 $(BUILD)/win64; fi
	@if scripts/can-run-i686 >/dev/null; then scripts/with-display scripts/bench-preview i686 $(BUILD)/win32; \
	 else scripts/with-display scripts/bench-preview x86_64 $(BUILD)/win64; fi
	@if scripts/can-run-i686 >/dev/null; then scripts/with-display scripts/bench-http i686 $(BUILD)/win32; \
	 else scripts/with-display scripts/bench-http x86_64 $(BUILD)/win64; fi

# The release: the installer and the portable zip of the 32-bit program, in $(BUILD)/dist.
dist: win32
	@scripts/dist $(BUILD)

test-native: native
	@cd $(BUILD)/native && ctest --output-on-failure

check-imports: win32
	@scripts/check-imports $(BUILD)/win32/app/SorelAssistant.exe data/imports-win98-2000.txt

test-win64: win64
	@scripts/with-display scripts/test-wine x86_64 $(BUILD)/win64

test-win32: win32
	@scripts/with-display scripts/test-wine i686 $(BUILD)/win32

test-installer: dist
	@scripts/with-display scripts/test-installer $(BUILD)

# Every tier, each reported on one line at the end; a tier that cannot start is a failure, except
# the i686 one on a machine that cannot execute 32-bit programs, which is skipped and says so.
# SOREL_TEST_START: when make started, so the summary also says how long setup and builds took.
test: export SOREL_TEST_START := $(shell date +%s)
test: native win32 win64 fuzz-build dist
	@scripts/test-all $(BUILD)

run: setup
	@if scripts/can-run-i686 >/dev/null; then \
	  $(MAKE) --no-print-directory win32 && echo "make run: the 32-bit program (this machine runs 32-bit programs)." && \
	  scripts/run i686 $(BUILD)/win32; \
	else \
	  $(MAKE) --no-print-directory win64 && echo "make run: the 64-bit program ($$(scripts/can-run-i686 2>&1))." && \
	  scripts/run x86_64 $(BUILD)/win64; \
	fi

clean:
	rm -rf $(BUILD)

# The two commands: `make run` starts the program under Wine, `make test` runs every test.
# Each installs what it needs first (scripts/setup.sh, idempotent) and builds.
BUILD := build
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja
TOOLCHAIN := $(CURDIR)/cmake/toolchain-mingw-i686.cmake

.PHONY: all setup native win32 test test-native test-win32 run clean

all: native win32

setup:
	@bash scripts/setup.sh

native: setup
	@cmake -S . -B $(BUILD)/native $(CMAKE_GEN) >/dev/null
	@cmake --build $(BUILD)/native -j $(JOBS)

win32: setup
	@cmake -S . -B $(BUILD)/win32 $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) >/dev/null
	@cmake --build $(BUILD)/win32 -j $(JOBS)

test-native: native
	@cd $(BUILD)/native && ctest --output-on-failure

test-win32: win32
	@scripts/with-display scripts/test-win32 $(BUILD)/win32

test: test-native test-win32

run: win32
	@scripts/run $(BUILD)/win32

clean:
	rm -rf $(BUILD)

# The two commands of the README: `make run` and `make test`. Both install what is missing.
PRESET ?= default
BUILD_DIR := build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build program run package test test-asan test-core windows test-windows bench tidy format clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

# Only the program and what it links: the tests are built by `make test`.
program: configure
	@cmake --build --preset $(PRESET) -j $(JOBS) --target tavlor

run: program
	@bash scripts/run.sh

# The Debian package, from the install rules, into $(BUILD_DIR).
package: program
	@cd $(BUILD_DIR) && cpack --config CPackConfig.cmake

# Every test through CTest; CTest prints its summary last.
test: build
	@bash scripts/run-tests.sh

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan.
# Any report fails the test that caused it.
test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@bash scripts/run-tests.sh build-asan

# Tavlor.exe and dist/Tavlor-<version>-win64.zip; builds the Qt for Windows first when it is
# missing (scripts/build-qt-windows.sh, about half an hour).
windows:
	@bash scripts/build-windows.sh

# The Windows layer's tests, then Tavlor.exe itself, under Wine.
test-windows:
	@bash scripts/test-windows.sh
	@bash scripts/test-windows-program.sh

# clang-tidy with the checked-in .clang-tidy over src/ (a few minutes); `make format` formats.
tidy: configure
	@bash scripts/run-clang-tidy.sh $(BUILD_DIR)

format:
	@bash scripts/check-format.sh --fix

bench: build
	@$(BUILD_DIR)/bin/tavlor-bench
	@if [ -x $(BUILD_DIR)/bin/tavlor-bench-verlauf ]; then $(BUILD_DIR)/bin/tavlor-bench-verlauf; fi

clean:
	rm -rf $(BUILD_DIR)

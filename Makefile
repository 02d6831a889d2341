# The two commands of the README: `make run` and `make test`. Both install what is missing.
PRESET ?= default
BUILD_DIR := build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-asan test-core test-windows bench clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	@bash scripts/run.sh

# Every test through CTest; CTest prints its summary last.
test: build
	@bash scripts/run-tests.sh

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan.
# Any report fails the test that caused it.
test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@bash scripts/run-tests.sh build-asan

test-windows:
	@bash scripts/test-windows.sh

bench: build
	@$(BUILD_DIR)/bin/tavlor-bench

clean:
	rm -rf $(BUILD_DIR)

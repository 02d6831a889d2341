# The two commands of the README: `make run` and `make test`. Both install what is missing.
PRESET ?= default
BUILD_DIR := build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-core test-windows bench clean

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

test-windows:
	@bash scripts/test-windows.sh

bench: build
	@$(BUILD_DIR)/bin/tavlor-bench
	@if [ -x $(BUILD_DIR)/bin/tavlor-bench-verlauf ]; then $(BUILD_DIR)/bin/tavlor-bench-verlauf; fi

clean:
	rm -rf $(BUILD_DIR)

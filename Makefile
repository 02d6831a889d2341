# The two commands of the README: `make run` and `make test`. Both install what is missing.
PRESET ?= default
BUILD_DIR := build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build program run package test test-core test-windows bench clean

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

test-windows:
	@bash scripts/test-windows.sh

bench: build
	@$(BUILD_DIR)/bin/tavlor-bench

clean:
	rm -rf $(BUILD_DIR)

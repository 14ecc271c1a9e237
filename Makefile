# Tolvern Launcher: build, run and test from Debian with MinGW-w64 and Wine.
SHELL := /bin/bash
.DEFAULT_GOAL := build

.PHONY: deps build build64 build32 run test bench clean

deps:
	@./tools/install-deps.sh

build64: deps
	@cmake --preset win64 >/dev/null
	@cmake --build --preset win64

build32: deps
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32

build: build64

# Starts the launcher in a Wine desktop (on a virtual display when there is no $DISPLAY).
run: build64
	@./tools/run-launcher.sh build/win64

# Builds both targets and runs every test under Wine.
test: build64 build32
	@cd build/win64 && ctest --output-on-failure -j2 --timeout 900

bench: build64
	@cmake --build --preset win64 --target bench
	@./tools/run-bench.sh build/win64

clean:
	rm -rf build

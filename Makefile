# Tolvern Launcher: build, run and test from Debian with MinGW-w64 and Wine.
SHELL := /bin/bash
.DEFAULT_GOAL := build

.PHONY: deps build build64 build32 run test dist bench clean

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

# Builds both targets and the downloads, and runs every test under Wine (the downloads' test
# installs and runs what dist/ holds).
test: build64 build32 dist
	@cd build/win64 && ctest --output-on-failure -j2 --timeout 900

# The downloads for Windows users, both architectures, in dist/: a zip to unpack anywhere and a
# per-user installer each.
dist: deps
	@cmake --preset win64 >/dev/null
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win64 --target dist
	@cmake --build --preset win32 --target dist
	@rm -rf dist && mkdir dist
	@cp build/win64/dist/* build/win32/dist/* dist/
	@ls -1 dist

bench: build64
	@cmake --build --preset win64 --target bench
	@./tools/run-bench.sh build/win64

clean:
	rm -rf build dist

# Quillpad: `make run` and `make test` are the whole set-up on a fresh Debian machine.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
HOST := build/host
WIN  := build/win32

.PHONY: all run test setup host win32 test-host test-win32 bench clean

all: host win32

setup:
	@sh scripts/setup

host: setup
	@cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(HOST) -j $(JOBS) -- --no-print-directory

win32: setup
	@cmake -S . -B $(WIN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(WIN) -j $(JOBS) -- --no-print-directory

test-host: host
	cd $(HOST) && ctest --output-on-failure

test-win32: win32
	sh scripts/with-display $(CURDIR)/$(WIN)/wineprefix sh -c 'cd $(WIN) && ctest --output-on-failure'

test: test-host test-win32

# Benchmarks (not tests): diagnostics parsing natively, file commands under Wine.
bench: host win32
	$(HOST)/tests/host/tools/bench_tools_parse
	sh scripts/with-display $(CURDIR)/$(WIN)/wineprefix $(WIN)/wine-run $(WIN)/tests/win32/app/bench_file_commands.exe

run: win32
	@sh scripts/run $(WIN)

clean:
	rm -rf build

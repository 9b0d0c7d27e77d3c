# Quillpad: `make run` and `make test` are the whole set-up on a fresh Debian machine.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
HOST := build/host
W32  := build/win32
W64  := build/win64
FUZZ := build/fuzz

.PHONY: all run test setup host win32 win64 fuzz-tree test-host test-win32 test-win64 test-fuzz fuzz bench clean

all: host win32 win64

setup:
	@sh scripts/setup

host: setup
	@cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(HOST) -j $(JOBS) -- --no-print-directory

# The shipped program.
win32: setup
	@cmake -S . -B $(W32) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake --no-warn-unused-cli >/dev/null
	@cmake --build $(W32) -j $(JOBS) -- --no-print-directory

# Its 64-bit twin, for kernels that cannot start 32-bit programs.
win64: setup
	@cmake -S . -B $(W64) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake --no-warn-unused-cli >/dev/null
	@cmake --build $(W64) -j $(JOBS) -- --no-print-directory

# The fuzzing harnesses (fuzz/), built with clang's libFuzzer, ASan and UBSan.
fuzz-tree: setup
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DQP_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS) -- --no-print-directory

# A fixed number of inputs per harness, 10^7 together; then random keys on the
# real editor control under Wine for 90 s, from a new random start (printed).
fuzz: fuzz-tree win64
	@sh scripts/fuzz $(FUZZ) runs
	@echo "== The editor walk on the real control, 90 s"
	@QP_EDITOR_WALK_SECONDS=90 sh scripts/with-display $(W64) -- $(W64)/wine-run $(W64)/tests/win32/editor/win32_editor_walk.exe

# A few seconds per harness.
test-fuzz: fuzz-tree
	@sh scripts/fuzz $(FUZZ) smoke

test-host: host
	cd $(HOST) && ctest --output-on-failure

test-win64: win64
	@echo "== Windows tests, 64-bit build ($(W64)) under /usr/lib/wine/wine64"
	sh scripts/with-display $(W64) -- sh -c 'cd $(W64) && ctest --output-on-failure'

test-win32: win32
	@if why=$$(sh scripts/wine32-ok); then \
	  echo "== Windows tests, 32-bit build ($(W32)) under /usr/lib/wine/wine"; \
	  sh scripts/with-display $(W32) -- sh -c 'cd $(W32) && ctest --output-on-failure'; \
	else \
	  echo "== Windows tests, 32-bit build: skipped, because $$why"; \
	fi

test: test-host test-fuzz test-win64 test-win32

# Benchmarks (not tests): diagnostics parsing natively, the rest under Wine on the
# build this kernel runs.
bench: host win32 win64
	@size=$$(stat -c %s $(W32)/app/quillpad.exe); \
	if [ $$size -le 1048576 ]; then verdict="within"; else verdict="OVER"; fi; \
	echo "Program size: $(W32)/app/quillpad.exe (PE32, stripped) $$size bytes," \
	     "$$(awk "BEGIN { printf \"%.2f\", $$size / 1048576 }") MB: $$verdict 1.0 MB"
	$(HOST)/tests/host/tools/bench_tools_parse
	@tree=$(W32); why=$$(sh scripts/wine32-ok) || { tree=$(W64); echo "Benchmarks on the 64-bit build: $$why"; }; \
	sh scripts/with-display $$tree -- sh -c "for b in $$tree/tests/win32/*/bench_*.exe; do $$tree/wine-run \$$b || exit 1; done"

run: win32 win64
	@sh scripts/run $(W32) $(W64)

clean:
	rm -rf build

# The front door: `make demo` shows the module at work, `make test` checks
# it; `make` builds both presets, `make dll` only the module and `make dist`
# the release zip.
# Each first installs whatever the machine is missing.

JOBS ?= $(shell nproc)
export WINEPREFIX := $(CURDIR)/build/wineprefix
export WINEDEBUG := -all
# No .NET or HTML engine is wanted, so Wine never asks to install them.
export WINEDLLOVERRIDES := mscoree,mshtml=

FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 600

.PHONY: all deps native win32 fuzz-build dll test fuzz soak bench demo dist clean

all: native win32

deps:
	@bash tools/install-deps.sh

native: deps
	cmake --preset native
	cmake --build --preset native --parallel $(JOBS)

win32: deps
	cmake --preset win32
	cmake --build --preset win32 --parallel $(JOBS)

fuzz-build: deps
	cmake --preset fuzz
	cmake --build --preset fuzz --parallel $(JOBS)

# Each fuzz target for FUZZ_SECONDS; fails on any finding.
fuzz: fuzz-build
	@bash tests/fuzz/run.sh $(FUZZ_SECONDS)

dll: deps
	cmake --preset win32
	cmake --build --preset win32 --parallel $(JOBS) --target holsterkeys

# The release zip, flat: the DLL, the checker, the sample INI and a readme.
dist: win32
	cd build/win32 && cpack -B package
	mkdir -p dist && cp build/win32/package/holsterkeys-*-win32.zip dist/

# The module at work in the stand-in host, with the sample configuration in
# the host's working folder. SCRIPT=file plays a session of your own.
demo: win32 $(WINEPREFIX)/system.reg
	@rm -rf build/demo && mkdir -p build/demo && cp release/holsterkeys.ini build/demo/
	@cd build/demo && wineboot >/dev/null 2>&1 && \
	  wine ../win32/holsterkeys-demo.exe $(if $(SCRIPT),"$(abspath $(SCRIPT))")

# The module under random keys and configuration rewrites for SOAK_SECONDS.
soak: win32 $(WINEPREFIX)/system.reg
	@wineboot >/dev/null 2>&1; wine build/win32/holsterkeys-soak.exe $(SOAK_SECONDS)

# Latency, cycle cost, CPU share, load time and size of the release DLL, as
# a Markdown table, with the machine it ran on.
bench: win32 $(WINEPREFIX)/system.reg
	@wineboot >/dev/null 2>&1; \
	echo "Machine: $$(nproc) cores, $$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $$(wine --version), Debian $$(cat /etc/debian_version)"; \
	echo; wine build/win32/holsterkeys-bench.exe

# The first boot of a prefix takes a while, so it is made once per build tree.
$(WINEPREFIX)/system.reg: | deps
	@echo "Preparing the Wine prefix in $(WINEPREFIX)"
	@wineboot -i >/dev/null 2>&1
	@wineserver -w

# One Wine server for the whole run saves starting one per test program.
# wineboot starts Wine's background services first, so that they do not
# inherit, and hold open, the output pipe of the first test program.
test: native win32 fuzz-build $(WINEPREFIX)/system.reg
	@wineserver -p; wineboot >/dev/null 2>&1; status=0; \
	echo "== unit tests, native"; ctest --preset native || status=1; \
	echo "== unit, tool and module tests, Windows build under Wine"; ctest --preset win32 || status=1; \
	echo "== fuzzing, a few seconds each"; bash tests/fuzz/run.sh 5 || status=1; \
	wineserver -k; exit $$status

clean:
	rm -rf build dist

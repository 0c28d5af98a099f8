# The front door: `make demo` shows the module at work, `make test` checks
# it; `make` builds everything, `make dll` only the module and `make dist`
# the release zip and its checksums.
# Each first installs whatever the machine is missing (`make deps` only that).

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 600

# Which Windows build runs the Windows programs here: win32, the release's
# own, where this machine runs 32-bit programs; win64, the same code built
# for 64-bit Windows and run under wine64, where it does not. WINDOWS=win32
# or WINDOWS=win64 on the command line chooses. The release is win32 always.
#
# What the machine is missing is installed before the flavour is decided, so
# that the flavour is that of the Wine now installed: where 32-bit Wine
# cannot be had (its packages lag while a mirror syncs), 64-bit Wine is
# installed in its place and win64 is chosen. `make clean` installs nothing.
ifneq ($(filter-out clean,$(or $(MAKECMDGOALS),all)),)
  ifneq ($(shell bash tools/install-deps.sh $(WINDOWS) >&2 && echo installed),installed)
    $(error What building and testing holsterkeys needs could not be installed; apt says why above)
  endif
endif
FLAVOUR_LINE := $(shell bash tools/windows-flavour.sh $(WINDOWS))
FLAVOUR := $(firstword $(FLAVOUR_LINE))
FLAVOUR_SAYS := $(wordlist 2,999,$(FLAVOUR_LINE))
ifeq ($(FLAVOUR),win64)
  WINE := /usr/lib/wine/wine64
else
  WINE := wine
endif
# Each flavour has a prefix of its own, in its build tree.
export WINEPREFIX := $(CURDIR)/build/$(FLAVOUR)/wineprefix
export WINEDEBUG := -all
# No .NET or HTML engine is wanted, so Wine never asks to install them.
export WINEDLLOVERRIDES := mscoree,mshtml=

.PHONY: all deps flavour native win32 win64 windows fuzz-build dll test fuzz soak bench demo \
  screenshot dist clean

all: native windows

deps:
	@echo "Everything building and testing holsterkeys needs is installed."

# Says which Windows build runs the Windows programs, or why none can.
flavour:
	@echo "$(FLAVOUR_SAYS)"; [ "$(FLAVOUR)" != none ]

native:
	cmake --preset native
	cmake --build --preset native --parallel $(JOBS)

win32 win64:
	cmake --preset $@
	cmake --build --preset $@ --parallel $(JOBS)

# Both Windows trees: the 32-bit one is the release, and the 64-bit one
# must keep compiling wherever it is not the one that runs.
windows: win32 win64

fuzz-build:
	cmake --preset fuzz
	cmake --build --preset fuzz --parallel $(JOBS)

# Each fuzz target for FUZZ_SECONDS; fails on any finding.
fuzz: fuzz-build
	@bash tests/fuzz/run.sh $(FUZZ_SECONDS)

dll:
	cmake --preset win32
	cmake --build --preset win32 --parallel $(JOBS) --target holsterkeys

# The release zip, flat: the DLL, the two programs, the sample INI and a
# readme; and SHA256SUMS beside it. Only the release's own targets are
# built, and one commit gives the same bytes wherever and whenever it is
# built (tools/release-zip.py).
dist:
	cmake --preset win32
	cmake --build --preset win32 --parallel $(JOBS) --target release_zip
	mkdir -p dist && cp build/win32/dist/holsterkeys-*-win32.zip build/win32/dist/SHA256SUMS dist/

# The module at work in the stand-in host, with the sample configuration in
# the host's working folder. SCRIPT=file plays a session of your own.
demo: flavour windows $(WINEPREFIX)/system.reg
	@rm -rf build/demo && mkdir -p build/demo && cp release/holsterkeys.ini build/demo/
	@cd build/demo && $(WINE) wineboot >/dev/null 2>&1 && \
	  $(WINE) ../$(FLAVOUR)/holsterkeys-demo.exe $(if $(SCRIPT),"$(abspath $(SCRIPT))")

# The module under random keys and configuration rewrites for SOAK_SECONDS.
soak: flavour $(FLAVOUR) $(WINEPREFIX)/system.reg
	@$(WINE) wineboot >/dev/null 2>&1; $(WINE) build/$(FLAVOUR)/holsterkeys-soak.exe $(SOAK_SECONDS)

# Latency, cycle cost, CPU share, load time and size of the release DLL, and
# the costs of the checker and the setup window, as a Markdown table, with
# the machine and the Windows build it ran on. The setup window needs a
# display, so the benchmark runs under a virtual X server, with a Wine
# server of its own started there.
bench: flavour windows $(WINEPREFIX)/system.reg
	@echo "Machine: $$(nproc) cores, $$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $$($(WINE) --version), Debian $$(cat /etc/debian_version)"; \
	echo; wineserver -k 2>/dev/null; \
	xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
	  '$(WINE) wineboot >/dev/null 2>&1; $(WINE) build/$(FLAVOUR)/holsterkeys-bench.exe'

# The README's picture of the setup window, from a run of its test.
screenshot: flavour windows $(WINEPREFIX)/system.reg
	@bash tests/wine/setup_window.sh $(CURDIR)/build/$(FLAVOUR) $(WINE)
	@mkdir -p docs && /usr/bin/convert build/$(FLAVOUR)/setup-window/shots/rows.png -trim \
	  docs/holsterkeys-setup.png

# The first boot of a prefix takes a while, so it is made once per build tree.
$(WINEPREFIX)/system.reg: | flavour
	@echo "Preparing the Wine prefix in $(WINEPREFIX)"
	@mkdir -p $(WINEPREFIX)
	@$(WINE) wineboot -i >/dev/null 2>&1 || \
	  { echo "Wine could not prepare $(WINEPREFIX): '$(WINE) wineboot -i' failed"; exit 1; }
	@wineserver -w

# One Wine server for the whole run saves starting one per test program.
# wineboot starts Wine's background services first, so that they do not
# inherit, and hold open, the output pipe of the first test program.
test: flavour native windows fuzz-build $(WINEPREFIX)/system.reg
	@wineserver -p; $(WINE) wineboot >/dev/null 2>&1; status=0; \
	echo "== unit tests and the choice of Windows build, native"; ctest --preset native || status=1; \
	echo "== unit, tool and module tests, $(FLAVOUR) build under Wine"; \
	  ctest --preset $(FLAVOUR) || status=1; \
	echo "== fuzzing, a few seconds each"; bash tests/fuzz/run.sh 5 || status=1; \
	wineserver -k; exit $$status

clean:
	rm -rf build dist

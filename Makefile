# A thin layer over the CMake presets (configure, build and test steps are
# the workflow presets'). `make demo` and `make test` install what is missing
# (as root), build, and run.
PRESET ?= default
JOBS ?= $(shell nproc)
export CTEST_PARALLEL_LEVEL ?= $(JOBS)

.PHONY: deps demo test build sdk-check asan tsan qt6 qt4 bench fuzz soak soak-asan windows windows-qt4 windows-msvc windows-sdk-check windows-msvc-sdk-check windows-family-check clean

deps:
	@tools/ensure-deps.sh

build: deps
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET) -j $(JOBS)

# The demo needs the host and the module it loads, not the tests and benchmarks.
demo: deps
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET) -j $(JOBS) --target cadence-host cadencehost_mod
	build/$(PRESET)/host/cadence-host

test: deps
	cmake --workflow --preset $(PRESET)

# The SDK alone (preset sdk: no GoogleTest or Google Benchmark needed),
# installed into an empty prefix; both examples built out of tree against it.
sdk-check: deps
	cmake --preset sdk >/dev/null
	cmake --build --preset sdk -j $(JOBS)
	tools/check-sdk.sh build/sdk

asan: deps
	tools/ensure-deps.sh libclang-rt-14-dev
	cmake --workflow --preset asan

tsan: deps
	cmake --workflow --preset tsan

qt6: deps
	cmake --workflow --preset qt6

# QtCore 4.8, built once into the cache by tools/build-qt4.sh: the whole
# suite, then the SDK installed and used as on the other builds.
qt4: deps
	CADENCEHOST_QT4_QMAKE=$$(tools/build-qt4.sh linux | tail -1)/bin/qmake cmake --workflow --preset qt4
	tools/check-sdk.sh build/qt4

bench: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)
	tools/run-benchmarks.sh build/default

# The soak: the timer service under load for SOAK_SECONDS, then its figures;
# fails when an alert is lost, an object survives or memory grows.
# `make soak PRESET=asan` (or `make soak-asan`) runs it under the sanitizers.
SOAK_SECONDS ?= 60
soak: deps
	$(if $(filter asan,$(PRESET)),tools/ensure-deps.sh libclang-rt-14-dev)
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET) -j $(JOBS) --target soak_run cadencehost_mod
	build/$(PRESET)/tests/soak/soak_run --seconds $(SOAK_SECONDS)

soak-asan:
	$(MAKE) soak PRESET=asan SOAK_SECONDS=$(SOAK_SECONDS)

FUZZ_SECONDS ?= 60
fuzz: deps
	tools/ensure-deps.sh clang libclang-rt-14-dev
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	tools/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# 64-bit Windows: mingw-w64, QtCore built once into a cache outside the tree,
# the suite under wine.
windows:
	@tools/ensure-windows-deps.sh
	JOBS=$(JOBS) tools/windows-suite.sh

# The same SDK check for 64-bit Windows: the SDK alone built with mingw-w64
# and installed, both examples built against it, run under wine.
windows-sdk-check:
	@tools/ensure-windows-deps.sh
	JOBS=$(JOBS) tools/check-sdk-windows.sh

# The same on QtCore 4.8 for mingw-w64 (tools/build-qt4.sh mingw).
windows-qt4:
	@tools/ensure-windows-deps.sh
	JOBS=$(JOBS) tools/windows-suite.sh 4

# The MSVC C++ ABI, as hosts built with Visual Studio use it: clang-cl and
# lld-link with a toolchain and QtCore 4.8 assembled into the cache from
# Debian's packages (tools/build-msvc-toolchain.sh, tools/build-qt4.sh msvc),
# the suite under wine.
windows-msvc:
	@tools/ensure-windows-deps.sh
	JOBS=$(JOBS) tools/windows-suite.sh msvc

# The SDK check for hosts built with MSVC: the SDK of that build installed,
# both examples built against it with the same toolchain, run under wine.
windows-msvc-sdk-check:
	@tools/ensure-windows-deps.sh
	JOBS=$(JOBS) tools/check-sdk-windows.sh msvc

# The two Windows builds against each other: each cadence-host.exe refuses
# the other compiler family's module (after make windows and make windows-msvc).
windows-family-check:
	@tools/ensure-windows-deps.sh
	tools/check-compiler-families.sh

clean:
	rm -rf build

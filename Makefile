# Front door of the build. `make run` and `make test` are all a fresh Debian 12 machine needs.
SHELL := /bin/bash
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
SECONDS ?= 60
HOURS ?= 2
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

# The real-kernel lab test (tests/hwsim): qemu boots Debian's kernel with simulated radios; its image is
# made from Debian packages that the test fetches itself with apt-get download and unpacks without root
# (kmod for the module index, cpio, xz-utils, binutils to read and strip ELF files).
HWSIM_PACKAGES := qemu-system-x86 kmod cpio xz-utils binutils

# Debian packages the build, the tests, the fuzzers and the benchmarks need.
DEB_PACKAGES := build-essential cmake ninja-build pkg-config g++ clang libclang-rt-14-dev \
	googletest libgtest-dev libgmock-dev libbenchmark-dev \
	libsqlite3-dev sqlite3 libpugixml-dev libnl-genl-3-dev libpcap-dev ieee-data \
	qt6-base-dev qt6-base-dev-tools libgl-dev libsystemd-dev \
	python3 python3-dbusmock dbus-daemon $(HWSIM_PACKAGES) \
	clang-format librsvg2-bin desktop-file-utils appstream dpkg-dev file lintian groff-base bash-completion unrtf

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test format format-check test-unit test-asan fuzz bench deb soak clean

all: build

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/bin/skimlet ]; then ./$(BUILD)/bin/skimlet; else \
		./$(BUILD)/bin/skimlet-cli --help; echo; \
		echo '$$ skimlet-cli elements --hex "00 05 53 6B 69 6D 21 01 04 82 84 8B 96 03 01 06"'; \
		./$(BUILD)/bin/skimlet-cli elements --hex "00 05 53 6B 69 6D 21 01 04 82 84 8B 96 03 01 06"; fi

# Every test: the unit tests, the core tests again under AddressSanitizer and UBSan, then the fuzz targets.
test: deps
	.ci/check-format
	$(MAKE) --no-print-directory build CMAKE_FLAGS="$(CMAKE_FLAGS) -DSKIMLET_WERROR=ON"
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory fuzz

# The core tests and the window's tests (on the offscreen platform, where the colour dialog and message boxes
# are replaced) under AddressSanitizer and UBSan.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSKIMLET_SANITIZE=ON -DSKIMLET_CORE_ONLY=OFF -DSKIMLET_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -L 'core|ui'

# Builds the libFuzzer targets with clang and runs each for $(SECONDS) seconds, $(JOBS) at a time.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DSKIMLET_FUZZ=ON -DSKIMLET_CORE_ONLY=ON -DSKIMLET_FUZZ_SECONDS=$(SECONDS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@ctest --test-dir $(FUZZ_BUILD) -V -L fuzz -j $(JOBS) > $(FUZZ_BUILD)/fuzz.log 2>&1; rc=$$?; \
	grep -E 'Test +#|: #[0-9]+ +DONE|number_of_executed_units' $(FUZZ_BUILD)/fuzz.log; \
	if [ $$rc -ne 0 ]; then tail -150 $(FUZZ_BUILD)/fuzz.log; fi; \
	grep -E 'tests passed|tests failed' $(FUZZ_BUILD)/fuzz.log | tail -1; exit $$rc

# The Debian package, built with CPack from the release build and checked with lintian.
deb: build
	rm -f $(BUILD)/skimlet_*.deb
	cd $(BUILD) && cpack -G DEB
	lintian $(BUILD)/skimlet_*.deb

bench: build
	@for b in $(BUILD)/bench/*; do [ -x "$$b" ] && [ -f "$$b" ] && "$$b"; done

# Simulated hours of refreshes over a churning scene, first the core alone, then with the window's list model;
# each fails when resident memory or heap in use grows more than 1 % after the first hour.
soak: build
	./$(BUILD)/bin/skimlet-soak --hours $(HOURS)
	@if [ -x $(BUILD)/bin/skimlet-soak-ui ]; then QT_QPA_PLATFORM=offscreen ./$(BUILD)/bin/skimlet-soak-ui --hours $(HOURS); fi

# Lays out the C++ sources by .clang-format; format-check lists the changed ones that are not.
format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	.ci/check-format

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

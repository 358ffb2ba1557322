# Two commands a person needs: `make run` and `make test`. Both install what is missing
# (Debian packages, as root or through sudo), configure, build and generate the data.
# `make run` installs only what building and running the game need; `make test` adds the test
# tools. `make package` builds the Debian package (build/package/starbreaker_*.deb).
SHELL := /bin/bash
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# One compiler cache for every build folder and clone of the project (ccache, where installed).
export CCACHE_BASEDIR ?= $(CURDIR)

# Building and running the game (the data generator needs LAME and zlib).
RUN_PACKAGES := build-essential cmake pkg-config \
  libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libjpeg-dev libfontconfig-dev libmp3lame-dev zlib1g-dev \
  fonts-liberation fonts-dejavu-core
# Building the Debian package: CPack finds the runtime dependencies with dpkg-shlibdeps and file.
PACKAGE_PACKAGES := $(RUN_PACKAGES) dpkg-dev file
# Everything the tests add: GoogleTest and Benchmark, the X server and window managers of the
# end-to-end checks, the headless Wayland compositor of the Wayland checks (with its screenshot
# and key tools, jq for its window tree, and software OpenGL), picture and sound measuring, OCR of
# the screens' words (English and Russian), clang for fuzzing (and clang-format for `make format`),
# the packaging validators (hardening-check is in devscripts: 8 packages, about 4 MB without
# recommends), and ccache for the repeated compiles of the test builds.
TEST_PACKAGES := $(PACKAGE_PACKAGES) libgtest-dev libgmock-dev libbenchmark-dev \
  xvfb xauth xfonts-base x11-utils xdotool imagemagick sox openbox wmctrl \
  tesseract-ocr tesseract-ocr-eng tesseract-ocr-rus \
  clang clang-format libclang-rt-14-dev ccache lintian desktop-file-utils appstream man-db devscripts \
  sway grim wtype jq libegl-mesa0 libgl1-mesa-dri

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600

.PHONY: all deps deps-package deps-test configure configure-test build build-game run package dist \
  test test-normal test-asan test-fuzz fuzz-build fuzz bench format clean

all: build

# install_missing LIST: the Debian packages of LIST that are not installed yet.
define install_missing
	@missing=$$(for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(RUN_PACKAGES))
deps-package:
	$(call install_missing,$(PACKAGE_PACKAGES))
deps-test:
	$(call install_missing,$(TEST_PACKAGES))

# Tests and benchmarks are built with BUILD_TESTING, which requires GoogleTest and Benchmark:
# the game's build is configured without them, unless the tests' set-up has already turned
# them on in that build folder.
configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release \
	  $(if $(shell grep -s '^BUILD_TESTING:BOOL=ON$$' $(BUILD)/CMakeCache.txt),,-DBUILD_TESTING=OFF)
configure-test: deps-test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DSB_WERROR=ON

# Building also (re)generates the data folder ./data; scores and options are never overwritten.
build: configure
	cmake --build $(BUILD) -j$(JOBS)

# Only the game, its set-up tool and the data.
build-game: configure
	cmake --build $(BUILD) -j$(JOBS) --target starbreaker starbreaker-setup

run: build-game
	./$(BUILD)/starbreaker

package: deps-package configure
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && cpack
	@ls -1 $(BUILD)/package/*.deb

# The source release ./starbreaker-<version>.tar.gz: the tracked files, no .git, the same
# bytes for the same source (dist/make_dist.sh).
dist:
	@dist/make_dist.sh . .

test: test-normal test-asan test-fuzz

# A test that fails is run once more before it counts: the screen checks under Xvfb judge
# screenshots in real time and, on a loaded machine, rarely catch a window before it is mapped.
# A real fault fails both runs; the log keeps the first failure.
test-normal: configure-test
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --repeat until-pass:2

# The sanitizer build uses clang (its AddressSanitizer and UndefinedBehaviorSanitizer), the
# optimised build GCC: every test runs under both compilers, warnings as errors in both.
test-asan: deps-test
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=Debug -DSB_SANITIZE=ON -DSB_BENCH=OFF -DBUILD_TESTING=ON -DSB_WERROR=ON \
	  -DSB_DATA_DIR=$(CURDIR)/$(ASAN_BUILD)/data
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --output-on-failure -j$(JOBS) -E '^(e2e|wayland)_'

# The file readers under libFuzzer (clang): a bounded run of every target and a replay of
# every input that once crashed one.
fuzz-build: deps-test
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSB_BENCH=OFF -DSB_FUZZ=ON -DBUILD_TESTING=ON \
	  -DSB_DATA_DIR=$(CURDIR)/$(FUZZ_BUILD)/data
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j$(JOBS)

test-fuzz: fuzz-build
	cd $(FUZZ_BUILD) && ctest -L fuzz --output-on-failure

# A long run (FUZZ_SECONDS per target), keeping the grown corpus between runs;
# FUZZ_TARGETS="settings keynames" fuzzes only those.
fuzz: fuzz-build
	SB_FUZZ_WORK=$(CURDIR)/$(FUZZ_BUILD)/fuzz-work SB_FUZZ_TARGETS="$(FUZZ_TARGETS)" \
	  tests/fuzz/run_fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: configure-test
	cmake --build $(BUILD) -j$(JOBS)
	@for b in $(BUILD)/bench_*; do echo "== $$b"; $$b; done

# The house style (.clang-format) over every C++ source the project keeps.
format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

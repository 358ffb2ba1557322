# Two commands a person needs: `make run` and `make test`. Both install what is missing
# (Debian packages, as root or through sudo), configure, build and generate the data.
SHELL := /bin/bash
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

PACKAGES := build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
  libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libjpeg-dev libfontconfig-dev libmp3lame-dev \
  fonts-liberation fonts-dejavu-core xvfb xauth xfonts-base x11-utils xdotool imagemagick sox \
  clang libclang-rt-14-dev

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600

.PHONY: all deps configure build run test test-normal test-asan test-fuzz fuzz bench clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

# Building also (re)generates the data folder ./data; scores and options are never overwritten.
build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/starbreaker

test: test-normal test-asan test-fuzz

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSB_SANITIZE=ON -DSB_BENCH=OFF \
	  -DSB_DATA_DIR=$(CURDIR)/$(ASAN_BUILD)/data
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --output-on-failure -j$(JOBS) -E '^e2e_'

# The file readers under libFuzzer (clang): a bounded run of every target and a replay of
# every input that once crashed one.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSB_BENCH=OFF -DSB_FUZZ=ON \
	  -DSB_DATA_DIR=$(CURDIR)/$(FUZZ_BUILD)/data
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j$(JOBS)

test-fuzz: fuzz-build
	cd $(FUZZ_BUILD) && ctest -L fuzz --output-on-failure

# A long run (FUZZ_SECONDS per target), keeping the grown corpus between runs.
fuzz: fuzz-build
	SB_FUZZ_WORK=$(CURDIR)/$(FUZZ_BUILD)/fuzz-work tests/fuzz/run_fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD)/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

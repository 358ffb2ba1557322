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

.PHONY: all deps configure build run test test-normal test-asan bench clean

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

test: test-normal test-asan

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSB_SANITIZE=ON -DSB_BENCH=OFF \
	  -DSB_DATA_DIR=$(CURDIR)/$(ASAN_BUILD)/data
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS)

bench: build
	@for b in $(BUILD)/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

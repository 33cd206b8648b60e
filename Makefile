# Two commands matter on a fresh Debian machine: `make run` and `make test`.
# Both install what is missing, configure and build first.

BUILD    ?= build
ASAN     ?= build-asan
JOBS     ?= 2
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
# ccache keeps rebuilds of a fresh clone or another work tree short when it is installed.
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
DEBS     := g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev \
            nlohmann-json3-dev libcli11-dev python3-numpy locales qt6-base-dev ccache \
            libfftw3-dev clang-format \
            libasound2-dev libasound2-plugins pulseaudio libjack-jackd2-dev jackd2 \
            libsndfile1-dev sox python3-markdown desktop-file-utils shared-mime-info \
            groff-base dpkg-dev \
            libsqlite3-dev libpq-dev libssl-dev postgresql chromium zlib1g-dev
SUDO     := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

# WERROR=ON (as CI builds) makes every warning in our own code an error; unset keeps the
# build's current choice.
WERROR   ?=
WERROR_FLAG := $(if $(WERROR),-DAURIVO_WERROR=$(WERROR))

FUZZ     ?= build-fuzz
FUZZ_SECONDS ?= 30
FUZZ_DEBS := clang libclang-rt-14-dev

.PHONY: all deps configure build test run bench sanitize fuzz fuzz-build fuzz-long clean install package guide-pictures

all: build

# Installs only the Debian packages that are missing; apt-get update runs only then.
deps:
	@missing=""; for p in $(DEBS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(GENERATOR) $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR_FLAG)

configure: deps $(BUILD)/CMakeCache.txt
ifneq ($(WERROR),)
	cmake -S . -B $(BUILD) $(WERROR_FLAG)
endif

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The guide's pictures of every module, which the test suite takes (build/screenshots/guide-*).
guide-pictures: build
	$(BUILD)/tests/app/app_tests --gtest_filter='*GuidePictures*' --gtest_brief=1

# Installs the programs, plug-ins, data, examples, desktop entry, manual pages and guide under
# CMAKE_INSTALL_PREFIX (/usr/local unless set); PREFIX=DIR installs there instead.
install: guide-pictures
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# The Debian package of the same files, installed under /usr: build/aurivo_VERSION_ARCH.deb.
package: guide-pictures
	cd $(BUILD) && cpack -G DEB

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The desktop application with the THD example when a display is there, else its readouts.
run: build
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
	  $(BUILD)/app/aurivo examples/thd-1khz.process; \
	else \
	  $(BUILD)/cli/aurivo-cli run examples/thd-1khz.process --passes 4; \
	fi

# Our transforms against FFTW (time, FFTW's time, ratio per case), a full pass through the
# modules, and the desktop window's idle slice plus repaint (offscreen).
bench: build
	$(BUILD)/bench/aurivo-bench
	@if [ -x $(BUILD)/bench/aurivo-gui-bench ]; then $(BUILD)/bench/aurivo-gui-bench; fi

sanitize: deps
	cmake -S . -B $(ASAN) $(GENERATOR) $(LAUNCHER) -DCMAKE_BUILD_TYPE=Debug -DAURIVO_SANITIZE=ON -DAURIVO_BENCH=OFF \
	  $(WERROR_FLAG)
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j $(JOBS)

# One libFuzzer target per reader of external input: build-fuzz/fuzz/fuzz_NAME, seeded from
# fuzz/corpus/NAME.
FUZZ_TARGETS := archive process_file response_file clipboard_text calibration_file envelope_text \
                wav_file plot_file data_log_file mic_calibration ini_settings test_plan curve_text
FUZZ_RUNS    ?= 10000000
FUZZ_LONG_SECONDS ?= 7200

fuzz-build: deps
	@$(MAKE) --no-print-directory deps DEBS="$(FUZZ_DEBS)"
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(GENERATOR) $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DAURIVO_FUZZ=ON -DAURIVO_TESTS=OFF -DAURIVO_BENCH=OFF -DAURIVO_APP=OFF $(WERROR_FLAG)
	cmake --build $(FUZZ) -j $(JOBS)

# Each fuzz target runs for FUZZ_SECONDS; a crash fails the target and leaves its input. New
# inputs go to build-fuzz/corpus, the committed corpus stays as it is.
fuzz: fuzz-build
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ)/corpus/$$t; \
	  $(FUZZ)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/$$t fuzz/corpus/$$t; \
	done

# Each target until FUZZ_RUNS executions or FUZZ_LONG_SECONDS, whichever comes first, never above
# 256 MiB; what it finds is kept in fuzz/corpus (minimised: commit what it adds).
fuzz-long: fuzz-build
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p fuzz/corpus/$$t; \
	  $(FUZZ)/fuzz/fuzz_$$t -runs=$(FUZZ_RUNS) -max_total_time=$(FUZZ_LONG_SECONDS) \
	    -rss_limit_mb=256 -malloc_limit_mb=256 -print_final_stats=1 fuzz/corpus/$$t; \
	done

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)

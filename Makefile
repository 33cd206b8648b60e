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

.PHONY: all deps configure build test run bench sanitize fuzz clean install package guide-pictures

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

# Each fuzz target runs for FUZZ_SECONDS; a crash fails the target and leaves its input.
fuzz: deps
	@$(MAKE) --no-print-directory deps DEBS="$(FUZZ_DEBS)"
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(GENERATOR) $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DAURIVO_FUZZ=ON -DAURIVO_TESTS=OFF -DAURIVO_BENCH=OFF -DAURIVO_APP=OFF $(WERROR_FLAG)
	cmake --build $(FUZZ) -j $(JOBS)
	mkdir -p $(FUZZ)/corpus/archive $(FUZZ)/corpus/process_file
	$(FUZZ)/fuzz/fuzz_archive -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/archive fuzz/corpus/archive
	$(FUZZ)/fuzz/fuzz_process_file -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/process_file fuzz/corpus/process_file
	mkdir -p $(FUZZ)/corpus/response_file $(FUZZ)/corpus/clipboard_text
	$(FUZZ)/fuzz/fuzz_response_file -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/response_file fuzz/corpus/response_file
	$(FUZZ)/fuzz/fuzz_clipboard_text -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/clipboard_text fuzz/corpus/clipboard_text
	mkdir -p $(FUZZ)/corpus/calibration_file
	$(FUZZ)/fuzz/fuzz_calibration_file -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/calibration_file fuzz/corpus/calibration_file
	mkdir -p $(FUZZ)/corpus/envelope_text
	$(FUZZ)/fuzz/fuzz_envelope_text -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/envelope_text fuzz/corpus/envelope_text
	mkdir -p $(FUZZ)/corpus/wav_file
	$(FUZZ)/fuzz/fuzz_wav_file -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/wav_file fuzz/corpus/wav_file
	mkdir -p $(FUZZ)/corpus/plot_file $(FUZZ)/corpus/data_log_file
	$(FUZZ)/fuzz/fuzz_plot_file -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/plot_file fuzz/corpus/plot_file
	$(FUZZ)/fuzz/fuzz_data_log_file -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/data_log_file fuzz/corpus/data_log_file
	mkdir -p $(FUZZ)/corpus/mic_calibration
	$(FUZZ)/fuzz/fuzz_mic_calibration -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/mic_calibration fuzz/corpus/mic_calibration

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)

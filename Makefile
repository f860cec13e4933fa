# Shizi: `make run` builds the program with its media set and starts it;
# `make test` builds the same, runs clang-tidy on src/ and every test, plain
# and sanitized. `make install` / `make uninstall` (PREFIX, DESTDIR) and
# `make deb` install it or package it for Debian.

BUILD    ?= build
SANBUILD ?= build-san
FUZZBUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
SOAK_MINUTES ?= 10
JOBS     ?= $(shell nproc)
PREFIX   ?= /usr/local
DESTDIR  ?=

PACKAGES = cmake g++ make pkg-config \
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev libfluidsynth-dev \
  libfontconfig-dev libcairo2-dev libx11-dev libxext-dev libxrender-dev \
  libavcodec-dev libavformat-dev libswscale-dev libswresample-dev libavutil-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  fonts-arphic-gkai00mp fonts-arphic-ukai fonts-wqy-zenhei fonts-dejavu-core \
  espeak-ng libespeak-ng-dev sox ffmpeg timgm6mb-soundfont fp-utils fortunes-zh unicode-data \
  xchm xvfb xdotool imagemagick x11-utils \
  python3 clang-tidy strace clang libclang-rt-14-dev desktop-file-utils appstream

# What `make deb` needs beyond the build: Debian's packaging tools and the
# checkers of the package and its desktop files.
DEB_TOOLS = dpkg-dev lintian appstream desktop-file-utils

SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test tidy deps build build-san bench format clean fuzz soak install uninstall deb deb-tools

run: build
	cd $(BUILD)/media && ./shizi

test: build build-san tidy
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(SANBUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(abspath tests/lsan.supp) \
	  ctest --output-on-failure -j $(JOBS)

# clang-tidy with the project's .clang-tidy on every source file of src/;
# each warning it keeps is an error. Files that passed and did not change
# are not checked again.
tidy: build
	tools/tidy $(BUILD) $(JOBS)

deps:
	@missing=$$(dpkg-query -W -f='$${Status} $${Package}\n' $(PACKAGES) 2>/dev/null \
	  | awk '$$3 == "installed" {print $$4}' | sort > /tmp/.shizi-have; \
	  for p in $(PACKAGES); do grep -qx "$$p" /tmp/.shizi-have || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(SANBUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(SANBUILD) -DCMAKE_BUILD_TYPE=Debug -DSHIZI_SANITIZE=ON \
	  -DSHIZI_BUILD_MEDIA_SET=OFF -DSHIZI_MEDIA_DIR=$(abspath $(BUILD))/media

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The sanitized build shares the media set of the plain one.
build-san: deps build $(SANBUILD)/CMakeCache.txt
	cmake --build $(SANBUILD) -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS over the committed seeds in fuzz/corpus/
# (new inputs go to a scratch folder); fails on any crash, leak or hang.
fuzz: deps
	cmake -S . -B $(FUZZBUILD) -DSHIZI_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZBUILD) -j $(JOBS)
	tools/fuzz $(FUZZBUILD) $(FUZZ_SECONDS)

# The real program under Xvfb, random clicks and keys for SOAK_MINUTES,
# its memory sampled every 30 s (not part of make test).
soak: build
	tools/soak $(BUILD) $(SOAK_MINUTES)

bench: build
	$(BUILD)/shizi_bench
	bench/screens.sh $(BUILD)

# The stripped program, its media set, desktop entry, icons, metainfo and
# manual page under $(DESTDIR)$(PREFIX); the list of what was written stays
# in $(BUILD)/install-manifest.txt for `make uninstall`.
install: build
	tools/install-tree install $(BUILD) $(PREFIX) $(DESTDIR)

uninstall:
	tools/install-tree uninstall $(BUILD)

deb-tools:
	@$(MAKE) --no-print-directory deps PACKAGES="$(DEB_TOOLS)"

# $(BUILD)/shizi_<version>_<arch>.deb, then lintian's verdict on it.
deb: build deb-tools
	tools/make-deb $(BUILD)
	lintian --fail-on error,warning $(BUILD)/shizi_*.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANBUILD) $(FUZZBUILD)

# Orvelle: the two commands of the README.
#   make run   installs what is missing, builds, and starts Orvelle (with no
#              display: runs the demo on a virtual display and says where its
#              screenshot and files are)
#   make test  installs what is missing, builds, runs every test (plain and
#              under AddressSanitizer + UndefinedBehaviorSanitizer)
#   make bench builds and runs the benchmarks
#   make install   installs the built program (PREFIX=/usr/local, DESTDIR honoured)
#   make package   builds the Debian package (build/orvelle_<version>_<arch>.deb)

# The tests run as in a desktop session, which always has a private runtime
# folder.
export XDG_RUNTIME_DIR ?= $(shell d=/tmp/orvelle-runtime-$$(id -u); mkdir -p -m 700 $$d; echo $$d)

# The sanitizer runtime of this compiler takes a dynamic TLS block that happens
# to start 16 bytes into a page for one laid out by a glibc older than 2.25,
# and reads a start and a size from the two words before it; LeakSanitizer's
# tracer then scans that made-up range at the process's exit and dies ("Tracer
# caught signal 11") after the tests have passed. Where the block lands depends
# on the allocations before it, so it came and went with the environment. Not
# following __tls_get_addr avoids the misreading; leaks are still reported.
SANITIZER_ENV = ASAN_OPTIONS=intercept_tls_get_addr=0 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local

.PHONY: deps build run install package test test-plain test-ratio test-sanitize fuzz format-check include-check bench clean

deps:
	@./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVELLE_WERROR=ON
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@./scripts/run.sh $(BUILD)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	cd $(BUILD) && cpack -G DEB

test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DORVELLE_SANITIZE=ON -DORVELLE_BENCH=OFF -DORVELLE_WERROR=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS)

fuzz: deps
	$(SANITIZER_ENV) ./scripts/fuzz.sh

format-check: deps
	@./scripts/check-format.sh

include-check:
	@./scripts/check-includes.sh

test: format-check include-check test-ratio test-sanitize fuzz test-plain

test-ratio:
	@./scripts/test-ratio.sh

bench: build
	@./scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz

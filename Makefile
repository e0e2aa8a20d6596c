# The two commands of the README: make run, make test.
BUILD ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-fresh bench install clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$(PREFIX) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Both commands above on a bare Debian 12 root (needs root or sudo, and the package mirrors).
test-fresh:
	@scripts/test-fresh.sh

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

install: build
	@cmake --install $(BUILD)

clean:
	rm -rf $(BUILD)

# The Debian package (build/fotello_*.deb).
.PHONY: deb
deb: build
	@cd $(BUILD) && cpack --config CPackConfig.cmake

# Fuzzing and sanitizers, each in its own build folder.
FUZZ_BUILD ?= build-fuzz
ASAN_BUILD ?= build-asan
FUZZ_SECONDS ?= 60
INSTRUMENTED = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g"

.PHONY: fuzz-deps fuzz test-sanitize

# clang and libFuzzer: only the fuzz targets need them.
fuzz-deps:
	@scripts/install-deps.sh clang-14 libclang-rt-14-dev llvm-14

# Builds the fuzz targets with clang and runs each for FUZZ_SECONDS.
fuzz: deps fuzz-deps
	@cmake -S . -B $(FUZZ_BUILD) $(INSTRUMENTED) -DCMAKE_CXX_COMPILER=clang++-14 -DFOTELLO_FUZZ=ON > /dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	@scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(JOBS)

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) $(INSTRUMENTED) -DFOTELLO_SANITIZE=ON > /dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

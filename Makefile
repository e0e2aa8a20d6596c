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

# --- Desktop integration: the Debian package (build/deb/fotello_*.deb) ---
.PHONY: deb
deb: build
	@cd $(BUILD) && cpack --config CPackConfig.cmake
# --- end of desktop integration ---

# Two commands: `make run` and `make test`. Both install what is missing,
# configure and build first; `make bench` adds the benchmarks' extras.
BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps deps-bench configure build run test bench deb sanitize-address sanitize-thread clean

all: build

deps:
	@sh scripts/install-deps.sh

# The benchmarks also need their reference server.
deps-bench:
	@sh scripts/install-deps.sh bench

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@BUILD=$(BUILD) sh scripts/run.sh

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: deps-bench build
	@BUILD=$(BUILD) sh scripts/bench.sh

# The Debian package (build/kavora-zarvocam_<version>_<arch>.deb).
deb: build
	@cd $(BUILD) && cpack -G DEB

# Sanitizer builds live in their own trees; CMAKE_FLAGS given here still apply.
sanitize-address:
	@$(MAKE) test BUILD=build-asan CMAKE_FLAGS="$(CMAKE_FLAGS) -DZARVO_SANITIZE=address"

sanitize-thread:
	@$(MAKE) test BUILD=build-tsan CMAKE_FLAGS="$(CMAKE_FLAGS) -DZARVO_SANITIZE=thread"

clean:
	@rm -rf $(BUILD)

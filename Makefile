# The two commands a fresh machine needs: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20

.PHONY: run test build configure deps bench fuzz clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release > $(BUILD).configure.log 2>&1 \
	  || { cat $(BUILD).configure.log; exit 1; }

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The short fuzz runs come first, so that CTest's summary closes the output.
test: build
	@scripts/fuzz $(FUZZ_SECONDS)
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run

bench: build
	@$(BUILD)/bench/nebulo-bench

# The fuzz targets under the sanitizers, FUZZ_SECONDS each.
fuzz: deps
	@scripts/fuzz $(FUZZ_SECONDS)

clean:
	@rm -rf $(BUILD) $(BUILD).configure.log build-fuzz build-fuzz.configure.log

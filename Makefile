# The two commands a fresh machine needs: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
SANITIZE_BUILD ?= build-sanitize
FUZZ_SECONDS ?= 20

.PHONY: run test check-sanitize build configure configure-sanitize deps bench fuzz fuzz-merge clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release > $(BUILD).configure.log 2>&1 \
	  || { cat $(BUILD).configure.log; exit 1; }

# Everything under AddressSanitizer and UndefinedBehaviorSanitizer, with clang
# so that the fuzz targets can also be built for libFuzzer.
configure-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNEBULO_SANITIZE=ON \
	  -DCMAKE_CXX_COMPILER=clang++ > $(SANITIZE_BUILD).configure.log 2>&1 \
	  || { cat $(SANITIZE_BUILD).configure.log; exit 1; }

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The fuzz corpus is replayed under the sanitizers first, so that the main
# suite's summary closes the output.
test: build configure-sanitize
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target fuzz_replay
	@cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS) -L fuzz
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
check-sanitize: configure-sanitize
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run

bench: build
	@$(BUILD)/bench/nebulo-bench

# Explores with libFuzzer, FUZZ_SECONDS per target; `make fuzz-merge` then
# keeps what reached new code in fuzz/corpus.
fuzz: configure-sanitize
	@scripts/fuzz $(FUZZ_SECONDS)

fuzz-merge: configure-sanitize
	@scripts/fuzz merge

clean:
	@rm -rf $(BUILD) $(BUILD).configure.log $(SANITIZE_BUILD) $(SANITIZE_BUILD).configure.log

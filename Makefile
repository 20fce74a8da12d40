# Two set-up commands: `make run` and `make test`. Both install what is missing first.
PRESET ?= default
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps configure build run test bench clean

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@./scripts/run.sh $(BUILD_DIR)/src/mimoran

test: build
	@QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS) $(CTEST_ARGS)

bench: build
	@./scripts/bench.sh $(BUILD_DIR)

clean:
	@rm -rf $(BUILD_DIR)

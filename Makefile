# Set-up commands: `make run`, `make test` and `make package` (a Debian package).
# Each installs first what is missing of the packages its stage needs
# (scripts/install-deps.sh STAGE: build, test, asan, fuzz, bench, package,
# windows, windows-shots, web).
PRESET ?= default
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# How long each libFuzzer harness runs: `make fuzz` and `make fuzz-short`.
FUZZ_SECONDS ?= 300
FUZZ_SHORT_SECONDS ?= 30

.PHONY: deps configure build run test test-asan fuzz fuzz-short bench package screenshots clean \
        windows windows-screenshots web test-web

# The stage is the goal's: a target-specific value reaches its prerequisites.
DEPS_STAGE = build
test: DEPS_STAGE = test
test-asan: DEPS_STAGE = asan
fuzz: DEPS_STAGE = fuzz
bench: DEPS_STAGE = bench
package: DEPS_STAGE = package

deps:
	@./scripts/install-deps.sh $(DEPS_STAGE)

configure: deps
	@cmake --preset $(PRESET) -B $(BUILD_DIR)

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@./scripts/run.sh $(BUILD_DIR)/src/mimoran

test: build
	@QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD_DIR) --no-tests=error --output-on-failure -j$(JOBS) $(CTEST_ARGS)

# Everything built with clang under AddressSanitizer and UBSan, and the Qt
# tests run against it (build-asan).
test-asan: deps
	@cmake --preset asan
	@cmake --build --preset asan -j$(JOBS)
	@ctest --preset asan -j$(JOBS) $(CTEST_ARGS)

# The libFuzzer harnesses in tests/fuzz (build-fuzz): a short run of each, as
# CI does, or a long one. Findings land in build-fuzz/tests/fuzz/artifacts.
fuzz-short:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_SHORT_SECONDS)

fuzz: deps
	@cmake --preset fuzz -DMIMORAN_FUZZ_SECONDS=$(FUZZ_SECONDS)
	@cmake --build --preset fuzz -j$(JOBS)
	@ctest --preset fuzz -j$(JOBS) $(CTEST_ARGS)

bench: build
	@./scripts/bench.sh $(BUILD_DIR)

package: build
	@cmake --build $(BUILD_DIR) --target package
	@ls -1 $(BUILD_DIR)/*.deb

# Every screen in every state, offscreen, to $(BUILD_DIR)/screenshots; the menu,
# a question, the missed problems, a retry question, three pages of the
# learning record, a practice's question, the children's page, the picker
# a worksheet's two pages and a printed 百ます計算 grid (drawn
# from their PDFs by poppler's pdftoppm) also go to docs/ for the README.
screenshots: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/screenshots $(BUILD_DIR)/screenshots
	@cp $(BUILD_DIR)/screenshots/01-menu.png docs/menu.png
	@cp $(BUILD_DIR)/screenshots/04-drill-question.png docs/question.png
	@cp $(BUILD_DIR)/screenshots/19-results-with-missed.png docs/missed.png
	@cp $(BUILD_DIR)/screenshots/20-retry-question.png docs/retry-question.png
	@cp $(BUILD_DIR)/screenshots/22-record-recent.png docs/record-recent.png
	@cp $(BUILD_DIR)/screenshots/23-record-times.png docs/record-times.png
	@cp $(BUILD_DIR)/screenshots/25-record-practice.png docs/record-practice.png
	@cp $(BUILD_DIR)/screenshots/26-practice-question.png docs/practice-question.png
	@cp $(BUILD_DIR)/screenshots/27-record-children.png docs/children-page.png
	@cp $(BUILD_DIR)/screenshots/28-child-picker.png docs/child-picker.png
	@cp $(BUILD_DIR)/screenshots/30-hyakumasu-finished.png docs/hyakumasu.png
	@pdftoppm -png -r 50 $(BUILD_DIR)/screenshots/worksheet.pdf $(BUILD_DIR)/screenshots/worksheet
	@cp $(BUILD_DIR)/screenshots/worksheet-1.png docs/worksheet-problems.png
	@cp $(BUILD_DIR)/screenshots/worksheet-2.png docs/worksheet-answers.png
	@pdftoppm -png -r 60 -f 1 -l 1 -singlefile $(BUILD_DIR)/screenshots/hyakumasu-sheet.pdf $(BUILD_DIR)/screenshots/hyakumasu-sheet
	@cp $(BUILD_DIR)/screenshots/hyakumasu-sheet.png docs/hyakumasu-sheet.png

# The Windows edition (build-win): Qt for Windows built once into the cache
# (~/.cache/mimoran, or $MIMORAN_CACHE), everything cross-built with mingw-w64,
# the suites run under wine, the installer and the portable zip.
windows:
	@./scripts/install-deps.sh windows
	@./scripts/windows.sh

# Pictures of the Windows edition under wine, into docs/ (after make windows).
windows-screenshots:
	@./scripts/install-deps.sh windows-shots
	@./scripts/windows-screenshots.sh

# The browser edition (build-web/site): Qt for WebAssembly built once into the
# cache, the program and its site; test-web also runs it in headless Chromium.
web:
	@./scripts/install-deps.sh web
	@./scripts/web.sh

test-web:
	@./scripts/install-deps.sh web
	@./scripts/web.sh test

# Every build tree: the Linux, sanitizer, fuzzing, Windows and browser ones.
clean:
	@rm -rf $(BUILD_DIR) build build-asan build-fuzz build-win build-web

# Digestor: build and test driver.  `make help` lists the targets.

SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c
# Each step already runs in parallel inside (Ninja, ctest -j2); the steps themselves run one by one.
.NOTPARALLEL:

CMAKE    := cmake
CTEST    := ctest
WINE_RUN := scripts/wine-run

NATIVE_DIR := build/native
FUZZ_DIR   := build/fuzz
WIN64_DIR  := build/win64
# Written once, in CMakeLists.txt's project().
VERSION    := $(shell awk '/^project.Digestor VERSION/ {print $$3}' CMakeLists.txt)

NATIVE_CONFIG := -G Ninja -DCMAKE_BUILD_TYPE=Release
FUZZ_CONFIG   := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
                 -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DDIGESTOR_FUZZ=ON
# `make dist SIGN_CERT=file.pfx SIGN_PASSWORD_FILE=file [SIGN_TIMESTAMP_URL=url]` signs the release;
# every configuration sets them, so that a release signed once does not sign the next builds.
SIGN_CERT          ?=
SIGN_PASSWORD_FILE ?=
SIGN_TIMESTAMP_URL ?=
WIN64_CONFIG  := -G Ninja -DCMAKE_BUILD_TYPE=Release \
                 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
                 -DDIGESTOR_SIGN_CERT=$(if $(SIGN_CERT),$(abspath $(SIGN_CERT))) \
                 -DDIGESTOR_SIGN_PASSWORD_FILE=$(if $(SIGN_PASSWORD_FILE),$(abspath $(SIGN_PASSWORD_FILE))) \
                 -DDIGESTOR_SIGN_TIMESTAMP_URL=$(SIGN_TIMESTAMP_URL)

FORMAT_DIRS := $(wildcard engine base window app gather compare run tools console companion varnolib lang tests bench drive)

.PHONY: bench-disk help test deps build-native build-fuzz build-win64 test-native test-fuzz test-win64 \
        test-steps bench fuzz format clean dist release-check screenshots

help:
	@echo "make run     build and start Digestor.exe under Wine (ARGS=... passes arguments)"
	@echo "make test    install missing packages (root), build native/fuzz/win64 trees, run all tests"
	@echo "make bench   engine throughput, and timed runs of Digestor.exe under Wine"
	@echo "make fuzz    build the fuzz tree and fuzz until Ctrl-C or a crash"
	@echo "make screenshots  photograph the program in English and German, and every language's main"
	@echo "             window and Digests tab, into docs/screenshots"
	@echo "make dist    write dist/: Digestor-$(VERSION)-win64.zip and .msi, SHA256SUMS, winget/, scoop/"
	@echo "             (SIGN_CERT=file.pfx SIGN_PASSWORD_FILE=file [SIGN_TIMESTAMP_URL=url] signs it)"
	@echo "make release-check  build the committed release twice and compare; sign it with a test certificate"
	@echo "make format  clang-format the C/C++ sources"
	@echo "make clean   stop Wine/Xvfb and remove build/"

# --- test ---------------------------------------------------------------------------------------

# Runs every step (-k: a failing step does not skip the independent ones), then always stops the
# Wine prefix and the Xvfb display that the Windows tests started; the exit status is the steps'.
test: deps
	@trap '$(WINE_RUN) --stop' EXIT; \
	$(MAKE) --no-print-directory -k test-steps

test-steps: build-native build-fuzz build-win64 test-native test-fuzz test-win64

deps:
	@scripts/install-deps

build-native:
	@echo "==> build $(NATIVE_DIR)"
	$(CMAKE) -S . -B $(NATIVE_DIR) $(NATIVE_CONFIG)
	$(CMAKE) --build $(NATIVE_DIR)

build-fuzz:
	@echo "==> build $(FUZZ_DIR)"
	$(CMAKE) -S . -B $(FUZZ_DIR) $(FUZZ_CONFIG)
	$(CMAKE) --build $(FUZZ_DIR) --target engine_fuzz

build-win64:
	@echo "==> build $(WIN64_DIR)"
	$(CMAKE) -S . -B $(WIN64_DIR) $(WIN64_CONFIG)
	$(CMAKE) --build $(WIN64_DIR)

test-native: build-native
	@echo "==> native tests (plain, ASan+UBSan)"
	$(CTEST) --test-dir $(NATIVE_DIR) --output-on-failure -j2

test-fuzz: build-fuzz
	@echo "==> fuzz (20 s)"
	mkdir -p $(FUZZ_DIR)/corpus
	$(FUZZ_DIR)/engine_fuzz -max_total_time=20 -print_final_stats=1 $(FUZZ_DIR)/corpus

test-win64: build-win64
	@echo "==> Windows tests under Wine"
	$(WINE_RUN) --prepare
	$(CTEST) --test-dir $(WIN64_DIR) --output-on-failure -j2

# --- run ----------------------------------------------------------------------------------------

# Builds the Windows tree and starts Digestor.exe with $(ARGS) (make run ARGS="C:/some/file"),
# by default with the repository's engine/ folder, through digestor_drive (drive/), which prints
# its exit code.  With a DISPLAY the program shows there, in a Wine prefix of its own, until it is
# closed.  Without one it runs in the private Xvfb display: the driver answers Yes to the folder
# question, waits for the run, prints the list, saves build/screenshot.png of the main window and
# closes it, and Wine and Xvfb are stopped at the end as after `make test`.  Fails when the driver
# fails or Digestor ends with a code other than 0 or 1 (its two normal ones).
RUN_DRIVER     := $(WIN64_DIR)/bin/digestor_drive.exe
RUN_PROGRAM    := $(WIN64_DIR)/bin/Digestor.exe
RUN_SCREENSHOT := build/screenshot.png
RUN_ARGS       := $(if $(ARGS),$(ARGS),'Z:$(subst /,\,$(abspath engine))')

.PHONY: run
run: deps build-win64
	@status=0; \
	if [[ -n "$${DISPLAY:-}" ]]; then \
	    echo "==> run $(RUN_PROGRAM) $(RUN_ARGS) on display $$DISPLAY"; \
	    WINE_RUN_USE_DISPLAY=1 $(WINE_RUN) $(RUN_DRIVER) -- $(RUN_PROGRAM) $(RUN_ARGS) || status=$$?; \
	else \
	    echo "==> run $(RUN_PROGRAM) $(RUN_ARGS) in Xvfb, screenshot $(RUN_SCREENSHOT)"; \
	    trap '$(WINE_RUN) --stop' EXIT; \
	    rm -f $(RUN_SCREENSHOT); \
	    $(WINE_RUN) $(RUN_DRIVER) run list shot 'Z:$(subst /,\,$(abspath $(RUN_SCREENSHOT)))' close -- \
	        $(RUN_PROGRAM) $(RUN_ARGS) || status=$$?; \
	    if [[ -f $(RUN_SCREENSHOT) ]]; then echo "screenshot: $(RUN_SCREENSHOT)"; \
	    else echo "no screenshot written" >&2; status=3; fi; \
	fi; \
	[[ $$status == 0 || $$status == 1 ]] || { echo "make run: failed (status $$status)" >&2; exit 1; }

# --- other targets ------------------------------------------------------------------------------

# The engine's throughput natively, then runs of the real Digestor.exe and DigestorCmd.exe under
# Wine beside md5sum (bench/run_bench.sh, bench/console_bench.sh), the comparison of two folders beside
# diff -rq (bench/compare_bench.sh), and four digests of one file from one read
# (bench/digest_set_bench.sh); their test data stays in build/bench.
bench: deps build-native build-win64
	@echo "==> engine benchmark"
	$(NATIVE_DIR)/engine_bench
	@echo "==> runs of Digestor.exe under Wine"
	@trap '$(WINE_RUN) --stop' EXIT; bench/run_bench.sh $(WIN64_DIR)/bin build/bench
	@echo "==> DigestorCmd.exe under Wine"
	@trap '$(WINE_RUN) --stop' EXIT; bench/console_bench.sh $(WIN64_DIR)/bin build/bench
	@echo "==> DigestorCmd.exe --compare under Wine"
	@trap '$(WINE_RUN) --stop' EXIT; bench/compare_bench.sh $(WIN64_DIR)/bin build/bench
	@echo "==> four digests from one read under Wine"
	@trap '$(WINE_RUN) --stop' EXIT; bench/digest_set_bench.sh $(WIN64_DIR)/bin build/bench
	@echo "==> the Explorer extension's Digests page under Wine"
	@trap '$(WINE_RUN) --stop' EXIT; $(WINE_RUN) $(WIN64_DIR)/bin/bench_page.exe

# A million files through the window and the console: minutes, so not part of `make bench`.
bench-disk: deps build-win64
	@trap '$(WINE_RUN) --stop' EXIT; bench/disk_bench.sh $(WIN64_DIR)/bin build/bench

fuzz: deps build-fuzz
	@echo "==> fuzz (until Ctrl-C or a crash)"
	mkdir -p $(FUZZ_DIR)/corpus
	$(FUZZ_DIR)/engine_fuzz -print_final_stats=1 $(FUZZ_DIR)/corpus

# The release is made by the Windows build (target dist, cmake/dist.cmake) and tested there
# (tests/e2e, tests/install); this builds only what it holds and copies it to dist/.
DIST_FILES := Digestor-$(VERSION)-win64.msi Digestor-$(VERSION)-win64.zip SHA256SUMS winget scoop
dist: deps
	@echo "==> build $(WIN64_DIR), target dist"
	$(CMAKE) -S . -B $(WIN64_DIR) $(WIN64_CONFIG)
	$(CMAKE) --build $(WIN64_DIR) --target dist
	rm -rf dist && mkdir -p dist
	cp -r $(addprefix $(WIN64_DIR)/dist/,$(DIST_FILES)) dist/
	@cd dist && ls -d $(DIST_FILES) | sed 's|^|dist/|'

# The committed release built twice from two clones and compared byte for byte, then signed with a
# throw-away certificate and verified (tests/install/release.sh): two Windows builds, a few minutes.
release-check: deps
	tests/install/release.sh $(CURDIR) build/release-check

# The README's pictures: a tour of every menu command under Wine, in English and German; every
# language's main window and Digests tab, and their contact sheet.
screenshots: deps build-win64
	@trap '$(WINE_RUN) --stop' EXIT; scripts/screenshots && scripts/language-screenshots

format:
	@command -v clang-format >/dev/null || { echo "clang-format not found: apt-get install clang-format" >&2; exit 1; }
	$(if $(FORMAT_DIRS),find $(FORMAT_DIRS) -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print0 | \
	    xargs -0 -r clang-format -i)

clean:
	$(WINE_RUN) --stop
	rm -rf build

# Everything starts here: `make run` and `make test` install what is missing,
# configure, build and then run the program or the tests.
BUILD ?= build
WINDOWS_BUILD ?= build-windows
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build run test desktop-test bench bench-large bench-table bench-cli bench-lists sanitize fuzz-smoke package package-smoke orca-test check check-format check-docs mutants format clean windows windows-package windows-test windows-bench

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/korvallestin

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error -j $(JOBS)

# The window on real desktops: Xvfb with openbox and with metacity, and
# weston's headless Wayland compositor.
desktop-test: build
	scripts/install-deps desktop
	timeout 900 scripts/desktop-tests $(BUILD)

bench: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/korvallestin-bench --data $(BUILD) --runs 5 \
		--json $(BUILD)/bench.json

# Start-up, then 100,000 and 1,000,000 records made from the shipped file.
bench-large: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/korvallestin-bench --data $(BUILD) --startup --large \
		--runs 5 --json $(BUILD)/bench-large.json

# The performance page's table, from the reports of the two targets above.
bench-table:
	scripts/bench-table --page docs/performance.md $(BUILD)/bench.json $(BUILD)/bench-large.json

# The console program: a check of 1,000,000 addresses made from the shipped
# file, and find writing every record to a pipe beside reading the file.
bench-cli: build
	./$(BUILD)/bench/korvallestin-cli-bench --cli $(BUILD)/korvallestin-cli \
		--data $(BUILD)/postcodes.csv --work $(BUILD)/bench-cli

# The List Check window: a list of 1,000,000 addresses made from the shipped
# file, opened, checked and scrolled in the real window.
bench-lists: configure
	cmake --build $(BUILD) -j $(JOBS) --target korvallestin-list-check-bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/korvallestin-list-check-bench --data $(BUILD) \
		--work $(BUILD)/bench-lists

# Every test again, built with AddressSanitizer and UBSan (into build-sanitize).
sanitize:
	scripts/sanitize

# Each fuzz target for a minute.
fuzz-smoke:
	for target in $$(scripts/fuzz --list); do scripts/fuzz $$target 60 || exit 1; done

# The Debian package, built into $(BUILD) by CPack.
package: build
	scripts/install-deps package
	cd $(BUILD) && cpack -G DEB

# Installs the package into this machine, tries it and removes it again.
package-smoke:
	scripts/package-smoke $(BUILD)

# The program driven by the Orca screen reader under a virtual display; checks
# what Orca says at each step.
orca-test: build
	scripts/install-deps orca
	timeout 300 scripts/orca-test $(BUILD)

# clang-tidy over the sources (.clang-tidy says which checks); any finding
# fails the target. The Windows-only files (*_windows.cpp and
# *_windows_test.cpp) are not in this build's compile commands and are left
# out.
check: configure
	scripts/install-deps check
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
	git ls-files '*.cpp' | grep -v -e '^tests/fuzz/' -e '_windows\.cpp$$' -e '_windows_test\.cpp$$' | \
		xargs -P $(JOBS) -n 4 clang-tidy -p $(BUILD) --quiet --warnings-as-errors='*'

# Fails when any source differs from what clang-format makes of it.
check-format:
	scripts/install-deps check
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# Every link between the README and the pages in docs/ leads somewhere.
check-docs:
	scripts/check-links

# Small faults made in the logic one at a time, in a scratch copy of the tree
# under /tmp: the logic tests must fail with each (scripts/mutants.txt).
mutants:
	scripts/mutants --jobs $(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Windows: the program and its tests cross-built with mingw-w64 against Qt
# built from Debian's source (the first time about 35 minutes; cached), then
# the zip and the installer, then every test under Wine.
windows:
	JOBS=$(JOBS) scripts/windows-build $(WINDOWS_BUILD)

windows-package: windows
	scripts/windows-package $(WINDOWS_BUILD) "$$(scripts/build-qt-windows)"

# (The Linux build is there for the console program's output to be compared.)
windows-test: windows-package build
	KORV_LINUX_BUILD=$(BUILD) timeout 2400 scripts/windows-test $(WINDOWS_BUILD) "$$(scripts/build-qt-windows)"

# The all-criteria-empty scenario on the shipped file, as the Windows program
# under Wine and as the Linux program, one after the other.
windows-bench: windows build
	scripts/windows-bench $(WINDOWS_BUILD) "$$(scripts/build-qt-windows)" $(BUILD)

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD)

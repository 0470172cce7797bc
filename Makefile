# make run  - install what is missing, build, prepare the demo database, start Cheqora
# make test - install what is missing, build the test build and the package, run the whole suite
# make package - build the Debian package (build/release/cheqora_*.deb)
# make bench - build optimised and run the benchmark (BENCH_ARGS="--slips 2000" for another size)
# make fuzz  - build the libFuzzer targets with clang and run each FUZZ_SECONDS

RELEASE_DIR := build/release
TEST_DIR    := build/test
FUZZ_DIR    := build/fuzz
FUZZ_SECONDS ?= 600
JOBS        ?= $(shell nproc)

.PHONY: run test bench fuzz deps build build-test package clean

deps:
	@./scripts/install-deps

$(RELEASE_DIR)/build.ninja:
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release

$(TEST_DIR)/build.ninja:
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCHEQORA_TEST_BUILD=ON

build: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target cheqora_app cheqora_designer_app cheqora-db report_templates

build-test: deps $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)

# The Debian package, in build/release (the test build checks it).
package: build
	rm -f $(RELEASE_DIR)/cheqora_*.deb
	cd $(RELEASE_DIR) && cpack -G DEB

run: build
	@test -e $(RELEASE_DIR)/data.mdb || $(RELEASE_DIR)/cheqora-db demo $(RELEASE_DIR)/data.mdb
	$(RELEASE_DIR)/cheqora

test: build-test package
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target cheqora-bench
	QT_QPA_PLATFORM=offscreen $(RELEASE_DIR)/cheqora-bench $(BENCH_ARGS)
	@if command -v xvfb-run >/dev/null; then \
		echo; echo "The windows again, on the xcb platform under Xvfb:"; \
		xvfb-run -a -s "-screen 0 1920x1080x24" env QT_QPA_PLATFORM=xcb \
			$(RELEASE_DIR)/cheqora-bench --only "shown and painted" $(BENCH_ARGS); \
	else echo "xvfb-run is missing: the windows were timed on the offscreen platform only."; fi

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCHEQORA_FUZZ=ON -DCHEQORA_TEST_BUILD=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	./scripts/run-fuzzers $(FUZZ_SECONDS)

clean:
	rm -rf build

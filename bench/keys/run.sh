#!/usr/bin/env bash
# Runs the keystroke benchmark inside a private X session (Xvfb + openbox).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${QL_BUILD_DIR:-build-release}
exec tests/support/x11-session.sh "$build/bench/keys/bench_keys"

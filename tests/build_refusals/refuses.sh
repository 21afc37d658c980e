#!/usr/bin/env bash
# Builds a target planted with a fault the build must refuse: the build must fail,
# and fail on that very fault (not on anything else that could break a build).
#   refuses.sh BUILD_DIR TARGET EXPECTED_MESSAGE
set -u
build=${1:?usage: refuses.sh BUILD_DIR TARGET EXPECTED_MESSAGE}
target=${2:?}
expected=${3:?}
if output=$(cmake --build "$build" --target "$target" 2>&1); then
    echo "$target was built, though it holds a planted fault:"
    echo "$output"
    exit 1
fi
if ! grep -qF -- "$expected" <<<"$output"; then
    echo "$target failed to build, but not with: $expected"
    echo "$output"
    exit 1
fi
echo "$target is refused: $expected"

#!/usr/bin/env bash
# Builds the link check of a layer that calls up into the app: the build must fail,
# and fail on that very call (not on anything else that could break a build).
#   test_planted_upward_call.sh BUILD_DIR
set -u
build=${1:?usage: test_planted_upward_call.sh BUILD_DIR}
if output=$(cmake --build "$build" --target planted_upward_call_link_check 2>&1); then
    echo "a layer that calls up into the app was linked:"
    echo "$output"
    exit 1
fi
if ! grep -q "undefined reference to \`GameMain(int, char\*\*)'" <<<"$output"; then
    echo "the link failed, but not on the planted call to GameMain:"
    echo "$output"
    exit 1
fi
echo "the planted upward call fails to link"

#!/usr/bin/env bash
# Runs a command with a limit on the size of any file it (or any process it starts) writes, and
# with SIGXFSZ ignored, so that a write past the limit fails with EFBIG instead of ending the
# process. Tells the tests the limit through MOJIFIX_E2E_FILE_SIZE_LIMIT.
# Usage: file_size_limit.sh BYTES COMMAND [ARG...]   (BYTES: a multiple of 1024)
set -euo pipefail

bytes=$1
shift
trap '' XFSZ
ulimit -f $((bytes / 1024))
export MOJIFIX_E2E_FILE_SIZE_LIMIT=$bytes
exec "$@"

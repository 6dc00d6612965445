# Common start of an end-to-end test: arguments NEBULO NEBULO_BLUR WORKDIR
# [APP_ID]; a fresh work folder, a private X server, everything ended on exit.
set -euo pipefail
NEBULO=$1 NEBULO_BLUR=$2 WORK=$3
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/desktop.sh"
rm -rf "$WORK" && mkdir -p "$WORK/runtime" && chmod 700 "$WORK/runtime" && cd "$WORK"
export XDG_RUNTIME_DIR=$WORK/runtime NEBULO_LOG=$WORK/nebulo.log
end_session() {
  local status=$?
  set +e
  # A test's own things to end first, when it has any.
  declare -F end_test >/dev/null && end_test
  stop_desktop
  exit $status
}
trap end_session EXIT
start_xvfb

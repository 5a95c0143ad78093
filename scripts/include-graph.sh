#!/usr/bin/env bash
# The include graph between the top folders of the source tree: one line per
# arrow, "from -> to  N" (N includes), each folder's includes of itself left out.
# Run from anywhere inside the checkout.
set -euo pipefail
cd "$(git rev-parse --show-toplevel)"
git ls-files '*.h' '*.cpp' | xargs grep -H '^#include "' |
  sed -E 's|^([^/]+)/[^:]*:#include "([^/"]+)/.*|\1 \2|;t;d' |
  awk '$1 != $2 { n[$1 " -> " $2]++ } END { for (k in n) printf "%-24s %d\n", k, n[k] }' | sort

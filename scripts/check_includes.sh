#!/usr/bin/env bash
# The game sees only the platform's own headers: no file outside platform/ may include SDL, OpenGL or
# OpenAL directly.
set -euo pipefail
cd "$(dirname "$0")/.."
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](SDL[^>"]*|GL/[^>"]*|AL/[^>"]*|al\.h|alc\.h|gl\.h|glext\.h)[>"]'
hits=$(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc' | grep -v '^platform/' | xargs -r grep -n -E "$pattern" || true)
if [ -n "$hits" ]; then
  echo "SDL, GL or AL headers included outside platform/:"
  echo "$hits"
  exit 1
fi
echo "include check: no SDL, GL or AL header outside platform/"

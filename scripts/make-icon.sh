#!/usr/bin/env bash
# Makes the desktop icon data/desktop/celvio.png from the title picture
# data/station/Zoredudi.BMP: its middle square, 128 x 128 pixels (netpbm).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bmptopnm "$root/data/station/Zoredudi.BMP" | pamcut -left 40 -width 240 | pamscale -width 128 -height 128 |
  pnmtopng -compression 9 >"$root/data/desktop/celvio.png"

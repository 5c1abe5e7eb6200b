#!/usr/bin/env bash
# A small fleet rehearsal: several private Wine prefixes stand for workstations, one of
# them with its menu file held as a running host holds it, and this script acts as a
# deployment system: it installs a module on every seat with tq2zul.exe, retries a
# seat that answers 1618 once the hold is over, checks detection, and holds every seat
# to the same bytes; a second round must change nothing. Usage: fleet_rehearsal.sh [seats]
# Needs the build (tq2zul.exe, hold_file.exe, make_module.exe); scripts/test.sh runs it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
export LC_ALL=C.UTF-8
seats=${1:-3}
fleet=$BUILD_DIR/fleet
bin=$BUILD_DIR/bin
module='C:\SampleModules\apStairMaker.dll'
key='HKLM\SOFTWARE\NORVALE SYSTEMS INC.\TOLVAN-QUORAL2\Env'

on() { local seat=$1; shift; WINEPREFIX=$fleet/seat$seat wine "$@" </dev/null; }
folder() { echo "$fleet/seat$1/drive_c/TQ2Host/zul_ap"; }
# The add-in folder's files and their bytes, one line each (the journal left out).
fingerprint() { (cd "$(folder "$1")" && find . -maxdepth 1 -type f -print0 | sort -z | xargs -0 md5sum); }

rm -rf "$fleet"
for seat in $(seq "$seats"); do
  mkdir -p "$fleet/seat$seat"
  WINEPREFIX=$fleet/seat$seat wine wineboot -i >/dev/null 2>&1 </dev/null || true
done
# Every seat gets the same host: the sample host made once, copied.
WINEPREFIX=$fleet/seat1 bash "$root/scripts/make_sample_host.sh" >/dev/null
for seat in $(seq 2 "$seats"); do
  cp -r "$fleet/seat1/drive_c/TQ2Host" "$fleet/seat1/drive_c/SampleModules" "$fleet/seat$seat/drive_c/"
  on "$seat" reg add "$key" /v TOLVAN_PLUS /t REG_SZ /d 'C:\TQ2Host' /f >/dev/null 2>&1
done

# Seat 2 runs the host until its user closes it: here, once the first install was refused.
on 2 "$bin/hold_file.exe" 'C:\TQ2Host\zul_ap\zulmenu.txt' 'C:\held' 'C:\closed' &
holder=$!
for _ in $(seq 400); do [ -f "$fleet/seat2/drive_c/held" ] && break; sleep 0.05; done
[ -f "$fleet/seat2/drive_c/held" ] || { echo "fleet: the hold never started" >&2; exit 1; }

retried=0
deploy() {
  local seat=$1 code
  for attempt in $(seq 40); do
    code=0
    on "$seat" "$bin/tq2zul.exe" install "$module" --quiet --log 'C:\tq2zul.log' 2>/dev/null || code=$?
    [ "$code" -eq 0 ] && return 0
    # Wine hands a Windows exit code to Linux in 8 bits: 1618 arrives as 82.
    [ "$code" -eq $((1618 % 256)) ] || { echo "fleet: seat $seat: install exit code $code" >&2; return 1; }
    retried=$((retried + 1))
    touch "$fleet/seat$seat/drive_c/closed"
    sleep 0.5
  done
  echo "fleet: seat $seat still busy" >&2
  return 1
}
for seat in $(seq "$seats"); do
  deploy "$seat"
  on "$seat" "$bin/tq2zul.exe" list StairMaker --min-version 1.0.0.3 --quiet ||
    { echo "fleet: seat $seat: not detected after install" >&2; exit 1; }
done
wait "$holder" || true

reference=$(fingerprint 1)
for seat in $(seq 2 "$seats"); do
  [ "$(fingerprint "$seat")" = "$reference" ] || { echo "fleet: seat $seat differs from seat 1" >&2; exit 1; }
done
for seat in $(seq "$seats"); do
  on "$seat" "$bin/tq2zul.exe" install "$module" --quiet || { echo "fleet: seat $seat: second round failed" >&2; exit 1; }
  [ "$(fingerprint "$seat")" = "$reference" ] || { echo "fleet: seat $seat: the second round changed bytes" >&2; exit 1; }
done
[ "$retried" -gt 0 ] || { echo "fleet: the held seat never answered 1618" >&2; exit 1; }
echo "fleet: $seats seats alike ($(echo "$reference" | wc -l) files), the held one retried $retried times, a second round changed nothing"

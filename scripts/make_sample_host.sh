#!/usr/bin/env bash
# Sets up a sample host installation inside the private Wine prefix, for the demo and
# the screenshot:
#   C:\TQ2Host\zul_ap           four installed modules with their pictures and a
#                               menu file (code page 949, CR LF) that lists them
#   C:\SampleModules            modules a user can add: two new ones, a newer build
#                               of an installed one, and a 32-bit one the tool refuses
#   HKLM\...\Env TOLVAN_PLUS    = C:\TQ2Host
# Starts from scratch every time. Needs the build (scripts/build.sh): the modules are
# made by build/tests/make_module.exe from the project's own fixture modules.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
# Hangul arguments reach Windows programs intact only from a UTF-8 locale.
export LC_ALL=C.UTF-8

maker=$BUILD_DIR/tests/make_module.exe
if [ ! -f "$maker" ]; then
  echo "make_sample_host: $maker is missing; build first (bash scripts/build.sh)" >&2
  exit 1
fi
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "make_sample_host: no Wine prefix in $WINEPREFIX; run bash scripts/setup.sh" >&2
  exit 1
fi

drive_c=$WINEPREFIX/drive_c
host=$drive_c/TQ2Host
samples=$drive_c/SampleModules
rm -rf "$host" "$samples"
mkdir -p "$host/zul_ap" "$samples"

# make_module <folder> <Windows folder> <stem> <menu name> <version> [--32]
make_module() {
  local folder=$1 winfolder=$2 stem=$3 menu=$4 version=$5
  shift 5
  wine "$maker" "$winfolder\\ap$stem.dll" "$stem.dll" "$menu" "$version" "$@" </dev/null
  [ -f "$folder/ap$stem.dll" ] || { echo "make_sample_host: ap$stem.dll was not made" >&2; exit 1; }
}

# A small picture (a blue 2x2 PNG) stands in for a module's menu image.
picture() {
  printf '%b' '\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x08\x02\x00\x00\x00\xfd\xd4\x9a\x73\x00\x00\x00\x10\x49\x44\x41\x54\x78\xda\x63\xb0\xaa\xbe\x0d\x44\x0c\x10\x0a\x00\x29\x4a\x06\x41\xd9\x1a\x49\xe3\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82' >"$1"
}

installed=(
  "DraftAssist|도면 보조 도구|2.1.0.0"
  "InterSnap|스냅 도우미|1.4.2.0"
  "CamToolpath|공구 경로 생성|3.0.1.5"
  "BeamDesign|보 설계|1.0.0.0"
)
menu=""
for entry in "${installed[@]}"; do
  IFS='|' read -r stem name version <<<"$entry"
  make_module "$host/zul_ap" 'C:\TQ2Host\zul_ap' "$stem" "$name" "$version"
  picture "$host/zul_ap/ap$stem.png"
  case "$stem" in
    Inter*) kind='"CAD" "INTERRUPT"' ;;
    Cam*) kind='"CAM" "REGULAR"' ;;
    *) kind='"CAD" "REGULAR"' ;;
  esac
  menu+="\"$stem\" \"$name\" $kind"$'\r\n'
done
printf '%s' "$menu" | iconv -f UTF-8 -t CP949 >"$host/zul_ap/zulmenu.txt"

make_module "$samples" 'C:\SampleModules' StairMaker "계단 만들기" 1.0.0.3
picture "$samples/apStairMaker.png"
printf 'StairMaker: riser and tread settings\r\n' >"$samples/apStairMaker_help.txt"
make_module "$samples" 'C:\SampleModules' ColumnGrid "기둥 격자" 0.9.1.0
picture "$samples/apColumnGrid.png"
make_module "$samples" 'C:\SampleModules' BeamDesign "보 설계 (새 판)" 1.1.0.0
picture "$samples/apBeamDesign.png"
make_module "$samples" 'C:\SampleModules' Legacy32 "구형 32비트 모듈" 0.5.0.0 --32

wine reg add 'HKLM\SOFTWARE\NORVALE SYSTEMS INC.\TOLVAN-QUORAL2\Env' /v TOLVAN_PLUS /t REG_SZ \
  /d 'C:\TQ2Host' /f >/dev/null 2>&1 </dev/null
# The registry reaches the prefix's files when the Wine server ends (one that another
# run keeps alive holds it in memory for every program of the prefix meanwhile).
timeout 60 wineserver -w || true

echo "Sample host in $host (C:\\TQ2Host), modules to add in $samples (C:\\SampleModules)"

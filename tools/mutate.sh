#!/usr/bin/env bash
# Seeds one-line faults into the sources one at a time, rebuilds, runs the test suite and counts
# the faults the suite catches (the build or any test fails). The sources are restored after
# each fault, also when the script is interrupted.
#
#   tools/mutate.sh            every fault
#   tools/mutate.sh 3 17       only faults 3 and 17
#   tools/mutate.sh --list     the faults and whether each line is found, without building
#
# Environment: MUTATE_BUILD (build folder, default build-mutate), MUTATE_BUILD_SECONDS and
# MUTATE_TEST_SECONDS (bounds on the build per fault and on each test program, default 900 and
# 300), MUTATE_JOBS (default 2), MUTATE_NICE (niceness of builds and tests, default 19).
# The desktop application is left out of the build.
set -u
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${MUTATE_BUILD:-build-mutate}
JOBS=${MUTATE_JOBS:-2}
BUILD_SECONDS=${MUTATE_BUILD_SECONDS:-900}
TEST_SECONDS=${MUTATE_TEST_SECONDS:-300}
NICE=${MUTATE_NICE:-19}

# One fault per line: file name @@ original line (without its indentation) @@ replacement.
# Files are found by name under src/ and cli/, so they may move between folders.
FAULTS=$(cat <<'LIST'
CrossCorrelation.cpp @@ x[lag] = (c[period - 1 + lag] + c[lag - 1]) / period; @@ x[lag] = (c[period - 1 + lag] + c[lag - 1]) / n;
NumberText.cpp @@ if (text.size() - digits < 3) text.insert(digits, 3 - (text.size() - digits), '0'); @@ if (text.size() - digits < 2) text.insert(digits, 2 - (text.size() - digits), '0');
NumberText.cpp @@ const size_t sign = (!text.empty() && std::strchr("+- ", text[0])) ? 1 : 0; @@ const size_t sign = 0;
TextLines.cpp @@ for (int i = 0; i < 2 && !line.empty() && line.back() == '\r'; ++i) @@ for (int i = 0; i < 1 && !line.empty() && line.back() == '\r'; ++i)
Archive.cpp @@ if (n < 0xFF) { @@ if (n <= 0xFF) {
Archive.cpp @@ return (static_cast<uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag); @@ return (static_cast<uint32_t>(tag & kClassTag) << 15) | (tag & ~kClassTag);
Archive.cpp @@ WriteUInt16(0); // every class of the system has schema 0 @@ WriteUInt16(1);
Archive.cpp @@ if (index == 0 || index >= m_loadMap.size() || m_loadSchema[index] == kNotAClass) { @@ if (index == 0 || index >= m_loadMap.size()) {
ResponseFile.cpp @@ text += FormatText(";Sample Rate               : %+07.7e\n", block.GetSampleRate()); @@ text += FormatText(";Sample Rate               : %+07.6e\n", block.GetSampleRate());
ResponseFile.cpp @@ if (!IsCDSPFFTDataString(value) || ParseDouble(value) != fs) @@ if (!IsCDSPFFTDataString(value))
FRDZMA.cpp @@ const double level = 20.0 * std::log10(x) + 94.0; @@ const double level = 20.0 * std::log10(x) + 93.0;
FRDZMA.cpp @@ const CComplex z = CComplex(referenceResistance) * ratio / (CComplex(1.0) - ratio); @@ const CComplex z = CComplex(referenceResistance) * ratio / (CComplex(1.0) + ratio);
ClipboardText.cpp @@ constexpr size_t kClipboardLineLength = 49; @@ constexpr size_t kClipboardLineLength = 48;
ClipboardText.cpp @@ const int32_t elements = response ? block.GetSize() / 2 + 1 : block.GetSize(); @@ const int32_t elements = response ? block.GetSize() / 2 : block.GetSize();
DspDoc.cpp @@ if (m_pauseOnRecord > 0 && m_passCount > m_pauseOnRecord) { @@ if (m_pauseOnRecord > 0 && m_passCount >= m_pauseOnRecord) {
DspDoc.cpp @@ if (!m_running) return 0; @@ if (m_paused) return 0;
DspDoc.cpp @@ message = "FFT size must be a power of two from 2 to 131072"; @@ message = "FFT size must be a power of two";
SigGenRun.cpp @@ if (bar.m_frequency < 0.0 || bar.m_frequency > nyquist) @@ if (bar.m_frequency < 0.0 || bar.m_frequency > 2 * nyquist)
SigGenRun.cpp @@ const double level = bar.m_level / 100.0; @@ const double level = bar.m_level / 128.0;
SpecReadouts.cpp @@ add("Tone1", FormatText("%3.6GHz", magnitude->GetToneFrequency(m_ref1, window))); @@ add("Tone1", FormatText("%3.5GHz", magnitude->GetToneFrequency(m_ref1, window)));
SpecReadouts.cpp @@ FormatText("%i / %i", m_averageCounter - 1, static_cast<int>(m_blockAverageCount))); @@ FormatText("%i / %i", m_averageCounter, static_cast<int>(m_blockAverageCount)));
SpecRun.cpp @@ shownMagnitude[i] = CDSPData::Average(magnitude[i], shownMagnitude[i], n, limit); @@ shownMagnitude[i] = magnitude[i];
OscTrace.cpp @@ const double pixelsPerVolt = -height / (kOscVerticalDivisions * trace.voltsPerDivision); @@ const double pixelsPerVolt = -height / (10.0 * trace.voltsPerDivision);
IniSettings.cpp @@ if (line[0] == ';' || line[0] == '#') return {CIniLine::kBlank, line, {}}; @@ if (line[0] == ';') return {CIniLine::kBlank, line, {}};
IniSettings.cpp @@ if (m_unreadable) { @@ if (false) {
AppSettings.cpp @@ if (std::string(e.section) == "Themes" && ReadEntry(store, e) != this->*e.field) @@ if (std::string(e.section) != "Sounds" && ReadEntry(store, e) != this->*e.field)
PlugInManager.cpp @@ if (info.st_mode & S_IWGRP) return "is writable by its group"; @@ if (info.st_mode & S_IWOTH) return "is writable by its group";
PlugInManager.cpp @@ if (above && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX)) return {}; @@ if (above && S_ISDIR(info.st_mode)) return {};
RiffFile.cpp @@ return any && (offset == end || offset == end + 1); @@ return any && offset == end;
EnvelopeText.cpp @@ for (int cr = 0; cr < 2 && line.ends_with('\r'); ++cr) @@ for (int cr = 0; cr < 1 && line.ends_with('\r'); ++cr)
StepRate.cpp @@ if (stepRate == processRate || !(stepRate > 0.0) || !(processRate > 0.0)) return {}; @@ if (!(stepRate > 0.0) || !(processRate > 0.0)) return {};
ProcessSession.cpp @@ if (m_sink.Records().size() == shown) return true; @@ return true;
WavSaveView.cpp @@ m_rateFollowsProcess = false; // a stored rate stays the stored rate @@ m_rateFollowsProcess = true;
ProcessCommands.cpp @@ return named(plain) ? plain : name; @@ return name;
SoundIOView.cpp @@ .Check(InRange(-100, 100, kTriggerRange)) @@ .Check(InRange(-100, 101, kTriggerRange))
SoundIOView.cpp @@ v.m_legacyLatencyFlag = x != 0; @@ v.m_legacyLatencyFlag = x == 1;
SoundIOView.cpp @@ .Bind(&V::m_repeatIndex) @@ .Bind(&V::m_ioMode)
SoundIOView.cpp @@ m_rateFollowsProcess = false; // a stored rate stays the stored rate @@ m_rateFollowsProcess = true;
SettingRows.h @@ return legacy && row.legacy ? *row.legacy : row; @@ return row.legacy ? *row.legacy : row;
SettingRows.h @@ for (size_t i = 0; i < N && i < from.size(); ++i) @@ for (size_t i = 0; i + 1 < N && i < from.size(); ++i)
ArbFilterView.cpp @@ R::Stored("").Bind(&V::m_fileNames), @@ R::Stored("").Bind(&V::m_extensions),
LoggerScaleRows.cpp @@ R::Stored("").Bind(&V::m_startBin).Check(Finite("Data logger start bin is not a number")), @@ R::Stored("").Bind(&V::m_stopBin).Check(Finite("Data logger start bin is not a number")),
DataLoggerRows.cpp @@ return v[2] < v[4] ? std::string() @@ return v[2] <= v[4] ? std::string()
DataLoggerView.cpp @@ if (!offered && m_offeredMode == m_mode) m_mode = CDataLog::kModePlot; @@ if (false) m_mode = CDataLog::kModePlot;
SigGenControls.cpp @@ .Places(5, -1), @@ .Places(12, -1),
LIST
)

SEP=' @@ '
field() { # field N LINE: the Nth (1-based) field of a fault line
    local rest=$2 i
    for ((i = 1; i < $1; i++)); do rest=${rest#*"$SEP"}; done
    printf '%s' "${rest%%"$SEP"*}"
}

find_source() {
    find src cli -name "$1" -type f 2>/dev/null
}

# Replaces the one line whose text (indentation aside) is $2 by $3, keeping the indentation.
# Exit 0 when applied, 2 when the line is not found, 3 when it is not unique.
apply_fault() {
    python3 - "$1" "$2" "$3" <<'PY'
import sys
path, original, replacement = sys.argv[1:]
with open(path, encoding="utf-8") as f:
    lines = f.readlines()
hits = [i for i, line in enumerate(lines) if line.strip() == original.strip()]
if not hits:
    sys.exit(2)
if len(hits) > 1:
    sys.exit(3)
line = lines[hits[0]]
indent = line[: len(line) - len(line.lstrip())]
lines[hits[0]] = indent + replacement.strip() + "\n"
with open(path, "w", encoding="utf-8") as f:
    f.writelines(lines)
PY
}

build() {
    timeout "$BUILD_SECONDS" nice -n "$NICE" cmake --build "$BUILD" -j "$JOBS" >"$BUILD/mutate-build.log" 2>&1
}

# Every test program runs directly (ctest would start one process per test case); the first
# failing program ends the run.
run_suite() {
    local program
    : >"$BUILD/mutate-test.log"
    while read -r program; do
        if ! (cd "$(dirname "$program")" && AURIVO_TEST=1 timeout "$TEST_SECONDS" nice -n "$NICE" \
            "$program" --gtest_brief=1 --gtest_fail_fast >>"$ROOT/$BUILD/mutate-test.log" 2>&1); then
            echo "FAILED PROGRAM $(basename "$program")" >>"$BUILD/mutate-test.log"
            return 1
        fi
    done < <(find "$ROOT/$BUILD/tests" -type f -executable -name '*_tests' | sort)
    # The tests that are not test programs' cases (their names hold no dot).
    (cd "$BUILD" && timeout "$TEST_SECONDS" nice -n "$NICE" ctest -E '[.]' >>mutate-test.log 2>&1)
}

mapfile -t LINES < <(printf '%s\n' "$FAULTS" | grep -v '^[[:space:]]*$')
if [ "${1:-}" = "--list" ]; then
    for i in "${!LINES[@]}"; do
        name=$(field 1 "${LINES[$i]}")
        original=$(field 2 "${LINES[$i]}")
        found=0
        while read -r path; do
            [ -n "$path" ] && found=$((found + $(grep -cxF -- "$original" <(sed 's/^[[:space:]]*//;s/[[:space:]]*$//' "$path"))))
        done < <(find_source "$name")
        state="found"
        [ "$found" -eq 0 ] && state="NOT FOUND"
        [ "$found" -gt 1 ] && state="NOT UNIQUE"
        printf '%2d %-10s %s\n' $((i + 1)) "$state" "${LINES[$i]}"
    done
    exit 0
fi
SELECTED=("$@")
if [ ${#SELECTED[@]} -eq 0 ]; then
    for i in "${!LINES[@]}"; do SELECTED+=($((i + 1))); done
fi

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    launcher=$(command -v ccache >/dev/null && echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    generator=$(command -v ninja >/dev/null && echo "-G Ninja")
    # shellcheck disable=SC2086
    nice -n "$NICE" cmake -S . -B "$BUILD" $generator $launcher -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DAURIVO_APP=OFF -DAURIVO_BENCH=OFF >/dev/null || exit 1
fi
# Tests are listed when ctest runs, not after every link.
nice -n "$NICE" cmake "$BUILD" -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null || exit 1

BACKUP=""
TARGET=""
restore() {
    if [ -n "$BACKUP" ] && [ -f "$BACKUP" ]; then
        # A fresh time stamp, so that the next build compiles the restored file again.
        cp "$BACKUP" "$TARGET"
        rm -f "$BACKUP"
    fi
    BACKUP=""
}
trap 'restore; exit 130' INT TERM
trap restore EXIT

echo "Baseline build and suite..."
if ! build; then
    echo "The unchanged tree does not build; see $BUILD/mutate-build.log" >&2
    exit 1
fi
if ! run_suite; then
    echo "The unchanged tree fails its tests; see $BUILD/mutate-test.log" >&2
    exit 1
fi

applied=0
caught=0
missing=0
for n in "${SELECTED[@]}"; do
    line=${LINES[$((n - 1))]:-}
    if [ -z "$line" ]; then
        echo "No fault $n" >&2
        continue
    fi
    name=$(field 1 "$line")
    original=$(field 2 "$line")
    replacement=$(field 3 "$line")
    mapfile -t paths < <(find_source "$name")
    label=$(printf '%2d %-22s %s' "$n" "$name" "$replacement")
    if [ ${#paths[@]} -ne 1 ]; then
        echo "NOT APPLIED  $label  (${#paths[@]} files named $name)"
        missing=$((missing + 1))
        continue
    fi
    TARGET=${paths[0]}
    BACKUP=$(mktemp)
    cp -p "$TARGET" "$BACKUP"
    apply_fault "$TARGET" "$original" "$replacement"
    status=$?
    if [ $status -ne 0 ]; then
        restore
        reason="line not found"
        [ $status -eq 3 ] && reason="line not unique"
        echo "NOT APPLIED  $label  ($reason)"
        missing=$((missing + 1))
        continue
    fi
    applied=$((applied + 1))
    if ! build; then
        verdict="CAUGHT (build)"
    elif ! run_suite; then
        failed=$(grep -m1 -oE '^\[  FAILED  \] [^ ,]+' "$BUILD/mutate-test.log" | cut -c14-)
        [ -z "$failed" ] && failed=$(grep -m1 '^FAILED PROGRAM' "$BUILD/mutate-test.log" | cut -c16-)
        verdict="CAUGHT (${failed:-tests})"
    else
        verdict="SURVIVED"
    fi
    [ "$verdict" != SURVIVED ] && caught=$((caught + 1))
    restore
    echo "$verdict  $label"
done
# Leave the build folder matching the restored sources.
build || true
echo "Caught $caught of $applied applied faults ($missing not applied)"

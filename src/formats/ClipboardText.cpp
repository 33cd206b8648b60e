#include "formats/ClipboardText.h"

#include "base/NumberText.h"
#include "dsp/DSPFFTDataList.h"
#include "platform/Clipboard.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

// One written line: three 15-character numbers, two tabs, CR LF.
constexpr size_t kClipboardLineLength = 49;
// Longest field a paste takes; the next character ends the paste.
constexpr size_t kMaxFieldLength = 18;
// What a text control holds.
constexpr int32_t kMaxEditText = 65535;
// Width the envelope text budgets per line when it thins a block out.
constexpr int32_t kEditLineBudget = 48;

int32_t ClipboardLineCount(const std::string& text) {
    return static_cast<int32_t>(std::min<size_t>(text.size() / kClipboardLineLength, INT32_MAX));
}

bool IsNumberCharacter(char c) {
    return (c >= '0' && c <= '9') || std::string_view("Ee+-.,").find(c) != std::string_view::npos;
}

enum class EField { Read, Ended, Refused };

// Reads one field from `pos` up to one of `ends`, consuming that end. The end of the text closes
// only the last field of a line (a last line without its CR LF); otherwise it ends the paste.
EField ReadField(std::string_view text, size_t& pos, std::string_view ends, bool lastField,
                 bool check, std::string_view& field) {
    const size_t start = pos;
    while (pos < text.size() && ends.find(text[pos]) == std::string_view::npos) {
        if (pos - start == kMaxFieldLength) return EField::Ended;
        ++pos;
    }
    if (pos >= text.size() && !lastField) return EField::Ended;
    field = text.substr(start, pos - start);
    if (pos < text.size()) ++pos;
    if (check && !std::all_of(field.begin(), field.end(), IsNumberCharacter))
        return EField::Refused;
    return EField::Read;
}

// Puts a response block's frequency axis back into its time array.
void RestoreFrequencyAxis(CDSPFFTData& block) {
    CDSPFFTData fresh;
    if (!fresh.Create(CDSPData::kResponseBlock, block.GetSize(), block.GetSampleRate())) return;
    std::copy_n(fresh.GetTimeObj()->GetDataPointer(), block.GetSize(),
                block.GetTimeObj()->GetDataPointer());
}

double Decibels(double magnitude) {
    return 20.0 * std::log10(magnitude > 0.0 ? magnitude : 2e-09);
}

} // namespace

namespace ClipboardText {

int32_t WriteText(CDSPFFTData& block, int32_t count, bool reset, std::string& text) {
    if (!block.HasArrays()) return 0;
    const int32_t n = std::clamp(count, int32_t{0}, block.GetSize());
    double* time = block.GetTimeObj()->GetDataPointer();
    double* magnitude = block.GetFreqObj()->GetDataPointer();
    double* phase = block.GetPhaseObj()->GetDataPointer();
    text.reserve(text.size() + size_t(n) * kClipboardLineLength);
    for (int32_t i = 0; i < n; ++i) {
        text += FormatText("%+07.7E\t%+07.7E\t%+07.7E\r\n", time[i], magnitude[i], phase[i]);
        if (reset) {
            time[i] = 0.0;
            magnitude[i] = 1.0;
            phase[i] = 0.0;
        }
    }
    if (reset && block.GetType() == CDSPData::kResponseBlock) RestoreFrequencyAxis(block);
    return n;
}

EReadEnd ReadText(CDSPFFTData& block, int32_t count, std::string_view text, size_t& pos,
                  bool checkCharacters) {
    if (!block.HasArrays()) return EReadEnd::Complete;
    const int32_t n = std::clamp(count, int32_t{0}, block.GetSize());
    double* time = block.GetTimeObj()->GetDataPointer();
    double* magnitude = block.GetFreqObj()->GetDataPointer();
    double* phase = block.GetPhaseObj()->GetDataPointer();
    for (int32_t i = 0; i < n; ++i) {
        std::string_view fields[3];
        for (int f = 0; f < 3; ++f) {
            // Written lines end in CR LF; a bare LF (from a program of this platform) ends the
            // last field too.
            const EField result =
                ReadField(text, pos, f < 2 ? " \t" : "\r\n", f == 2, checkCharacters, fields[f]);
            if (result == EField::Ended) return EReadEnd::Ended;
            if (result == EField::Refused) return EReadEnd::Refused;
        }
        if (pos > 0 && text[pos - 1] == '\r') {
            const size_t feed = text.find('\n', pos);
            pos = feed == std::string_view::npos ? text.size() : feed + 1;
        }
        time[i] = ParseDouble(fields[0]);
        magnitude[i] = ParseDouble(fields[1]);
        phase[i] = ParseDouble(fields[2]);
    }
    return EReadEnd::Complete;
}

int32_t Copy(CDSPFFTData& block, int32_t count, IClipboard& clipboard) {
    if (!block.HasArrays()) return 0;
    std::string text;
    const int32_t n = WriteText(block, count, false, text);
    clipboard.SetText(text); // a refused clipboard still reports the lines
    return n;
}

int32_t Cut(CDSPFFTData& block, IClipboard& clipboard) {
    if (!block.HasArrays()) return 0;
    std::string text;
    const int32_t n = WriteText(block, block.GetSize(), true, text);
    clipboard.SetText(text);
    return n;
}

int32_t Paste(CDSPFFTData& block, int32_t count, IClipboard& clipboard) {
    const std::optional<std::string> text = clipboard.GetText();
    if (!text) return 0;
    size_t pos = 0;
    if (ReadText(block, count, *text, pos, true) == EReadEnd::Refused) return 0;
    return ClipboardLineCount(*text);
}

int32_t CDSPFFTDataPaste(const CDSPFFTData& block, std::string& text) {
    text.clear();
    if (!block.HasArrays() || block.GetSize() <= 0) return 0;
    const bool response = block.GetType() == CDSPData::kResponseBlock;
    const int32_t elements = response ? block.GetSize() / 2 + 1 : block.GetSize();
    const int32_t step = (elements * kEditLineBudget + kMaxEditText - 1) / kMaxEditText;
    const int32_t lines = elements / step;
    const double* time = block.GetTimeObj()->GetDataPointer();
    const double* magnitude = block.GetFreqObj()->GetDataPointer();
    const double* phase = block.GetPhaseObj()->GetDataPointer();
    for (int32_t j = 0; j < lines; ++j) {
        const int32_t i = j * step;
        const std::string line = response ? FormatText("%07.1f%s%+07.2f%s%+06.1f\r\n", time[i],
                                                       ", ", Decibels(magnitude[i]), ", ", phase[i])
                                          : FormatText("% 7.1f%s % 7.2f%s % 8.2f\r\n", time[i], ",",
                                                       magnitude[i], ",", phase[i]);
        // Wide values (1e300) would overflow the control: the text stops before that line.
        if (text.size() + line.size() > size_t(kMaxEditText)) return j;
        text += line;
    }
    return lines;
}

int32_t Cut(CDSPFFTDataList& list, int channel, IClipboard& clipboard) {
    CDSPFFTData* block = list.GetAt(channel);
    return block ? Cut(*block, clipboard) : 0;
}

int32_t Copy(CDSPFFTDataList& list, int channel, IClipboard& clipboard) {
    CDSPFFTData* block = list.GetAt(channel);
    return block ? Copy(*block, block->GetSize(), clipboard) : 0;
}

int32_t Paste(CDSPFFTDataList& list, int channel, IClipboard& clipboard) {
    CDSPFFTData* block = list.GetAt(channel);
    if (!block) return 0;
    const int32_t lines = Paste(*block, block->GetSize(), clipboard);
    block->SetNumUsed(lines);
    return lines;
}

int32_t CDSPFFTDataPaste(const CDSPFFTDataList& list, int channel, std::string& text) {
    const CDSPFFTData* block = list.GetAt(channel);
    return block ? CDSPFFTDataPaste(*block, text) : 0;
}

int32_t Cut(CDSPFFTDataList& list, IClipboard& clipboard) {
    if (list.IsEmpty()) return 0;
    std::string text;
    int32_t lines = 0;
    for (int channel = 0; channel < list.GetNumChans(); ++channel) {
        CDSPFFTData& block = *list.GetAt(channel);
        lines = WriteText(block, block.GetSize(), true, text);
    }
    clipboard.SetText(text);
    return lines;
}

int32_t Copy(CDSPFFTDataList& list, IClipboard& clipboard) {
    if (list.IsEmpty()) return 0;
    std::string text;
    int32_t lines = 0;
    for (int channel = 0; channel < list.GetNumChans(); ++channel) {
        CDSPFFTData& block = *list.GetAt(channel);
        lines += WriteText(block, block.GetSize(), false, text);
    }
    clipboard.SetText(text);
    return lines;
}

int32_t Paste(CDSPFFTDataList& list, IClipboard& clipboard) {
    const std::optional<std::string> text = clipboard.GetText();
    if (!text) return 0;
    size_t pos = 0;
    for (int channel = 0; channel < list.GetNumChans(); ++channel) {
        CDSPFFTData& block = *list.GetAt(channel);
        if (ReadText(block, block.GetSize(), *text, pos, false) != EReadEnd::Complete) break;
    }
    const int32_t lines = ClipboardLineCount(*text);
    list.SetNumUsed(lines);
    return lines;
}

} // namespace ClipboardText

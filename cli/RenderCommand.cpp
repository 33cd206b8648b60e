#include "RenderCommand.h"

#include "CliHost.h"
#include "platform/AtomicFile.h"
#include "platform/SvgCanvas.h"
#include "process/PlotColours.h"

#include <charconv>
#include <ostream>

namespace {

constexpr int kMaxRenderSide = 16384;

int Fail(std::ostream& err, const std::string& reason) {
    err << "aurivo-cli: " << reason << "\n";
    return 2;
}

bool ParseSide(const char* first, const char* last, int& value) {
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && value >= 1 && value <= kMaxRenderSide;
}

} // namespace

int RunPasses(CCliHost& host, CDspDoc& doc, int passes) {
    int slices = 0;
    if (doc.OnEditRun()) {
        const long total = long(passes) * doc.GetStepCount();
        while (slices < total) {
            host.App().OnIdle();
            if (!doc.IsRunning()) break; // a step failed or stopped the run
            ++slices;
            if (doc.IsPaused()) doc.OnEditRun();
        }
        doc.OnEditStop();
    }
    return doc.GetStepCount() ? slices / doc.GetStepCount() : 0;
}

bool ParseRenderSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const char* s = text.c_str();
    return ParseSide(s, s + x, width) && ParseSide(s + x + 1, s + text.size(), height);
}

int RenderProcessFile(const CModuleRegistry& registry, const CRenderOptions& options,
                      std::ostream& out, std::ostream& err) {
    int width = 0, height = 0;
    if (!ParseRenderSize(options.size, width, height))
        return Fail(err, "Size \"" + options.size + "\" is not WIDTHxHEIGHT (1 to " +
                             std::to_string(kMaxRenderSide) + " pixels each)");
    CCliHost host(registry);
    std::string error;
    CDspDoc* doc = host.Open(options.file, error);
    if (!doc) return Fail(err, error);
    if (options.step < 1 || options.step > doc->GetStepCount())
        return Fail(err, "The process has no step " + std::to_string(options.step));
    host.Sink().ClearRecords();

    const int passes = RunPasses(host, *doc, options.passes);
    CSvgCanvas canvas(width, height);
    const CRect client{0, 0, width, height};
    // What a window shows behind a view before the view paints.
    canvas.FillRect(client, kApplicationBackground);
    doc->GetView(size_t(options.step - 1))->OnDraw(canvas, client);
    const std::string svg = canvas.GetDocument();
    if (!WriteFileAtomically(options.output, std::vector<uint8_t>(svg.begin(), svg.end()), error))
        return Fail(err, error);

    out << "Rendered step " << options.step << " after " << passes << " pass"
        << (passes == 1 ? "" : "es") << " to " << options.output << "\n";
    const auto& records = host.Sink().Records();
    if (records.empty()) return 0;
    std::string message;
    for (char c : records.front().message)
        if (c != '\r') message += c == '\n' ? std::string(" | ") : std::string(1, c);
    err << "aurivo-cli: a module reported an error: " << message << "\n";
    return 1;
}

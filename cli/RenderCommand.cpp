#include "RenderCommand.h"

#include "CliSession.h"
#include "platform/AtomicFile.h"
#include "platform/SvgCanvas.h"
#include "process/ViewPicture.h"

#include <charconv>
#include <ostream>

namespace {

constexpr int kMaxRenderSide = 16384;

bool ParseSide(const char* first, const char* last, int& value) {
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && value >= 1 && value <= kMaxRenderSide;
}

} // namespace

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
        return Fail(err, "Size \"" + ShortName(options.size) + "\" is not WIDTHxHEIGHT (1 to " +
                             std::to_string(kMaxRenderSide) + " pixels each)");
    CCliSession cli(registry);
    std::string error;
    if (!cli->Open(options.file, error)) return Fail(err, error);
    CDspView* view = cli->Step(options.step);
    if (!view) return Fail(err, "The process has no step " + std::to_string(options.step));

    const int passes = cli->Run(options.passes);
    CSvgCanvas canvas(width, height);
    DrawViewPicture(*view, canvas, CSize{width, height});
    const std::string svg = canvas.GetDocument();
    if (!WriteFileAtomically(options.output, std::vector<uint8_t>(svg.begin(), svg.end()), error))
        return Fail(err, error);

    out << "Rendered step " << options.step << " after " << passes << " pass"
        << (passes == 1 ? "" : "es") << " to " << TerminalText(options.output) << "\n";
    const std::vector<std::string> messages = cli->GetMessages();
    if (messages.empty()) return 0;
    err << "aurivo-cli: a module reported an error: " << TerminalText(messages.front()) << "\n";
    return 1;
}

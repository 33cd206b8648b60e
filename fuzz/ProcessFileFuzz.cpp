// Opens arbitrary bytes as a process file, both readings, with every built-in module.
#include "platform/Clock.h"
#include "process/DspApp.h"
#include "modules/BuiltInModules.h"

#include <unistd.h>

#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/aurivo-fuzz-" + std::to_string(getpid()) + ".process";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    CRecordingMessageSink sink;
    CFixedClock clock(0);
    CAudioServices audio;
    CDspApp app(GetBuiltInModules(), sink, {.clock = clock, .audio = audio});
    std::string error;
    if (CDspDoc* doc = app.OpenDocumentFile(path, error)) {
        CArchive again;
        doc->Serialize(again);
    }
    return 0;
}

// Feeds arbitrary bytes to the WAV reader as a file: the format, the data chunk and a few
// frames as the open module reads them; then appends a frame as the save module would and
// checks that the sizes it fixed describe the file.
#include "formats/RiffFile.h"
#include "formats/WavFormat.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An in-memory file keeps the run off the disk; its /proc link opens as a regular file.
    const int fd = memfd_create("wav-fuzz", 0);
    if (fd < 0 || write(fd, data, size) != ssize_t(size)) {
        if (fd >= 0) close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    CRiffFile riff;
    CWavFormat format;
    if (riff.Open(path, ERiffMode::Read, RiffCode("WAVE")) && ReadWavFormat(riff, format).empty()) {
        const uint32_t bytes = riff.FindChunk(RiffCode("data"));
        std::vector<uint8_t> frame(size_t(format.BytesPerFrame()));
        for (uint32_t f = 0; f < 16 && (f + 1) * frame.size() <= bytes; ++f)
            if (riff.Read(frame.data(), frame.size()) == frame.size())
                for (int c = 0; c < format.channels; ++c)
                    (void)WavSampleValue(frame.data() + c * format.BytesPerSample(), format);
    }
    riff.Close();
    if (riff.Open(path, ERiffMode::ReadWrite, RiffCode("WAVE"))) {
        riff.FindChunk(RiffCode("data"));
        if (riff.GetChunk().id == RiffCode("data") && riff.IsLastChunk()) {
            const uint8_t frame[4] = {1, 2, 3, 4};
            riff.Seek(riff.GetChunk().dataOffset + riff.GetChunk().size);
            riff.Write(frame, sizeof frame);
            riff.Close();
            uint8_t head[8];
            const off_t end = lseek(fd, 0, SEEK_END);
            if (pread(fd, head, sizeof head, 0) == ssize_t(sizeof head)) {
                const uint32_t riffSize =
                    uint32_t(head[4] | head[5] << 8 | head[6] << 16) | uint32_t(head[7]) << 24;
                if (end >= 8 && riffSize != uint32_t(end - 8)) std::abort();
            }
        }
    }
    close(fd);
    return 0;
}

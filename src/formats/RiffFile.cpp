#include "formats/RiffFile.h"

#include <algorithm>

namespace {

constexpr uint32_t kRiff = RiffCode("RIFF");
constexpr uint32_t kData = RiffCode("data");
constexpr uint32_t kUnfixedSize = 0xFFFFFFFF;
// A RIFF size field counts everything after it; keep room for a pad byte.
constexpr uint64_t kLargestFile = uint64_t(0xFFFFFFFF) + 8 - 1;

uint32_t UInt32At(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutUInt32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

EFileAccess AccessOf(ERiffMode mode) {
    switch (mode) {
    case ERiffMode::Read:
        return EFileAccess::Read;
    case ERiffMode::ReadWrite:
        return EFileAccess::ReadWrite;
    case ERiffMode::Create:
        break;
    }
    return EFileAccess::Create;
}

} // namespace

int CRiffFile::Open(const std::string& path, ERiffMode mode, uint32_t formType) {
    Close();
    std::string error;
    if (!m_file.Open(path, AccessOf(mode), error)) return 0;
    m_mode = mode;
    uint8_t head[12];
    if (mode == ERiffMode::Create) {
        PutUInt32(head, kRiff);
        PutUInt32(head + 4, 4);
        PutUInt32(head + 8, formType);
        if (m_file.WriteAt(0, head, sizeof head) != sizeof head) {
            m_file.Close();
            return 0;
        }
    } else if (m_file.ReadAt(0, head, sizeof head) != sizeof head || UInt32At(head) != kRiff ||
               UInt32At(head + 8) != formType) {
        m_file.Close();
        return 0;
    }
    m_riff = {kRiff, UInt32At(head + 4), formType, 8, false};
    m_chunk = {};
    m_inChunk = false;
    m_position = sizeof head;
    return 1;
}

bool CRiffFile::ReadHeader(uint64_t offset, uint32_t& id, uint32_t& size) {
    uint8_t header[8];
    if (m_file.ReadAt(offset, header, sizeof header) != sizeof header) return false;
    id = UInt32At(header);
    size = UInt32At(header + 4);
    return true;
}

uint32_t CRiffFile::FindChunk(uint32_t id) {
    m_chunk = {};
    m_inChunk = false;
    if (!IsOpen()) return 0;
    const uint64_t end = m_file.Size();
    uint64_t offset = 12;
    uint32_t chunkId = 0, declared = 0;
    while (offset + 8 <= end && ReadHeader(offset, chunkId, declared)) {
        const uint64_t available = std::min<uint64_t>(end - offset - 8, kUnfixedSize);
        // Cut at the end of the file, which also reads a data size of 0xFFFFFFFF that a crashed
        // writer left to the end; one left at 0 reads there as well.
        uint32_t size = uint32_t(std::min<uint64_t>(declared, available));
        if (chunkId == kData && declared == 0 && !ChunksFill(offset + 8, end))
            size = uint32_t(available);
        if (chunkId == id) {
            m_chunk = {chunkId, size, 0, offset + 8, false};
            m_inChunk = true;
            m_position = m_chunk.dataOffset;
            return size;
        }
        offset += 8 + uint64_t(size) + (size & 1);
    }
    return 0;
}

bool CRiffFile::ChunksFill(uint64_t offset, uint64_t end) {
    uint32_t id = 0, size = 0;
    bool any = false;
    while (offset + 8 <= end && ReadHeader(offset, id, size)) {
        for (int i = 0; i < 4; ++i) {
            const uint8_t c = uint8_t(id >> (8 * i));
            if (c < 0x20 || c > 0x7E) return false; // no four-character code: samples
        }
        offset += 8 + uint64_t(size) + (size & 1);
        any = true;
    }
    // The last chunk's pad byte may be missing.
    return any && (offset == end || offset == end + 1);
}

bool CRiffFile::CreateChunk(uint32_t id, uint32_t size) {
    if (!IsOpen() || m_mode == ERiffMode::Read) return false;
    if (m_position & 1) {
        const uint8_t pad = 0;
        if (m_file.WriteAt(m_position, &pad, 1) != 1) return false;
        ++m_position;
    }
    uint8_t header[8];
    PutUInt32(header, id);
    PutUInt32(header + 4, size);
    if (m_file.WriteAt(m_position, header, sizeof header) != sizeof header) return false;
    m_chunk = {id, size, 0, m_position + 8, false};
    m_inChunk = true;
    m_position = m_chunk.dataOffset;
    m_riff.dirty = true;
    return true;
}

void CRiffFile::Ascend() {
    if (!m_inChunk) return;
    const uint64_t end = m_chunk.dataOffset + m_chunk.size;
    if (m_mode != ERiffMode::Read) {
        // The pad byte only where nothing follows: a chunk in the middle already has one.
        const uint8_t pad = 0;
        if ((m_chunk.size & 1) && m_file.Size() == end && m_file.WriteAt(end, &pad, 1) == 1)
            m_riff.dirty = true;
        StoreSizes();
    }
    m_position = end + (m_chunk.size & 1);
    m_inChunk = false;
}

uint64_t CRiffFile::Seek(uint64_t offset) {
    m_position = offset;
    return m_position;
}

uint64_t CRiffFile::SeekEnd(int64_t offset) {
    const int64_t position = int64_t(m_file.Size()) + offset;
    m_position = position < 0 ? 0 : uint64_t(position);
    return m_position;
}

size_t CRiffFile::Read(void* buffer, size_t count) {
    const size_t n = m_file.ReadAt(m_position, buffer, count);
    m_position += n;
    return n;
}

size_t CRiffFile::Write(const void* buffer, size_t count) {
    if (!IsOpen() || m_mode == ERiffMode::Read) return 0;
    const uint64_t end = m_position + count;
    if (end > kLargestFile) return 0;
    const uint64_t before = m_file.Size();
    const size_t written = m_file.WriteAt(m_position, buffer, count);
    if (written < count) {
        if (m_position + written > before) m_file.Truncate(before);
        StoreSizes();
        return 0;
    }
    m_position = end;
    if (m_inChunk) {
        m_chunk.size = uint32_t(std::max<uint64_t>(m_chunk.size, end - m_chunk.dataOffset));
        m_chunk.dirty = true;
    }
    m_riff.dirty = true;
    return count;
}

bool CRiffFile::StoreUInt32(uint64_t offset, uint32_t value) {
    uint8_t bytes[4];
    PutUInt32(bytes, value);
    return m_file.WriteAt(offset, bytes, sizeof bytes) == sizeof bytes;
}

bool CRiffFile::StoreSizes() {
    bool ok = true;
    if (m_inChunk && m_chunk.dirty) {
        ok = StoreUInt32(m_chunk.dataOffset - 4, m_chunk.size);
        m_chunk.dirty = !ok;
    }
    if (m_riff.dirty) {
        m_riff.size = uint32_t(std::min<uint64_t>(m_file.Size() - 8, kUnfixedSize));
        const bool stored = StoreUInt32(4, m_riff.size);
        m_riff.dirty = !stored;
        ok = ok && stored;
    }
    return ok;
}

bool CRiffFile::Flush() {
    if (!IsOpen()) return false;
    return m_mode == ERiffMode::Read || StoreSizes();
}

void CRiffFile::Close() {
    if (!IsOpen()) return;
    if (m_mode != ERiffMode::Read) {
        Ascend();
        StoreSizes();
        m_file.Sync();
    }
    m_file.Close();
    m_chunk = {};
    m_riff = {};
    m_inChunk = false;
}

bool CRiffFile::IsLastChunk() const {
    return m_inChunk && m_chunk.dataOffset + m_chunk.size + (m_chunk.size & 1) >= m_file.Size();
}

// Crafted process files, laid out byte by byte here: every one is refused with a one-line
// message naming the file, exit status 2, quickly and without a large allocation.
#include "common/ArchiveBytes.h"
#include "common/CliRun.h"
#include "common/TextFileUtil.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>

namespace {

using Bytes = std::vector<uint8_t>;

// The start of every process file: schema text, the document's class record, block size, sample
// rate, the two pause settings and the two window rectangles.
CArchiveBytes Start(int32_t blockSize = 2048) {
    CArchiveBytes f;
    f.Text("Process0").NewClass("CDspDoc").I32(blockSize).F64(48000.0).I32(0).I32(0);
    return f.Rect(0, 0, 0, 0).Rect(0, 0, 0, 0);
}

// A one-step Signal Generator process up to its list of channel bars. Indices: 1 CDspDoc,
// 2 CDspView, 3 CSigGenView, 4 the list's class, 5 the list itself.
CArchiveBytes UpToBarList() {
    CArchiveBytes f = Start();
    f.Texts({"Signal Generator"}).Texts({"1"}).I32(0).I32(0);
    return f.NewClass("CDspView").I32(0).NewClass("CSigGenView").NewClass("CObList");
}

// A count that does not fit the short form: the escape, then 32 bits.
CArchiveBytes& BigCount(CArchiveBytes& f, uint32_t n) {
    return f.U16(0xFFFF).U32(n);
}

// A text whose length prefix claims `n` bytes (32-bit form), followed by a few real bytes.
CArchiveBytes& ClaimedText(CArchiveBytes& f, uint32_t n) {
    return f.Byte(0xFF).U16(0xFFFF).U32(n).Raw({'a', 'b', 'c'});
}

struct CHostileCase {
    const char* name;
    std::function<Bytes()> bytes;
    // More than six steps is read as the desktop reads it: settings only, an empty process.
    bool opensEmpty = false;
};

const CHostileCase kCases[] = {
    {"names counted 2^31-1",
     [] {
         CArchiveBytes f = Start();
         return Bytes(BigCount(f, 0x7FFFFFFF).Text("Signal Generator"));
     }},
    {"names counted -1",
     [] {
         CArchiveBytes f = Start();
         return Bytes(BigCount(f, 0xFFFFFFFF));
     }},
    {"identities counted 2^31-1",
     [] {
         CArchiveBytes f = Start();
         f.Texts({"Signal Generator"});
         return Bytes(BigCount(f, 0x7FFFFFFF).Text("1"));
     }},
    {"negative block size", [] { return Bytes(Start(-2048)); }},
    {"most negative block size", [] { return Bytes(Start(INT32_MIN)); }},
    {"largest block size", [] { return Bytes(Start(INT32_MAX)); }},
    {"schema text of 4 GiB",
     [] {
         CArchiveBytes f;
         return Bytes(ClaimedText(f, 0xFFFFFFFF));
     }},
    {"wide schema text of 4 GiB",
     [] {
         CArchiveBytes f;
         return Bytes(f.Byte(0xFF).U16(0xFFFE).Byte(0xFF).U16(0xFFFF).U32(0xFFFFFFFF));
     }},
    {"step name of 4 GiB",
     [] {
         CArchiveBytes f = Start();
         return Bytes(ClaimedText(f.U16(1), 0xFFFFFFFF));
     }},
    {"step name of 2^31-1",
     [] {
         CArchiveBytes f = Start();
         return Bytes(ClaimedText(f.U16(1), 0x7FFFFFFF));
     }},
    {"class name longer than the file",
     [] {
         CArchiveBytes f;
         return Bytes(f.Text("Process0").U16(0xFFFF).U16(0).U16(0xFFFF).Raw({'C', 'D'}));
     }},
    {"document class refers to itself",
     [] {
         CArchiveBytes f;
         return Bytes(f.Text("Process0").ClassRef(1).I32(2048));
     }},
    {"view class refers to a later record",
     [] {
         CArchiveBytes f = Start();
         f.Texts({"Signal Generator"}).Texts({"1"}).I32(0).I32(0);
         return Bytes(f.ClassRef(7).I32(0));
     }},
    {"list element refers to its own list",
     [] {
         CArchiveBytes f = UpToBarList();
         return Bytes(f.U16(1).U16(5));
     }},
    {"list element refers to itself",
     [] {
         CArchiveBytes f = UpToBarList();
         return Bytes(f.U16(1).NewClass("CSigGenChanDlgBar").U16(7).U16(7));
     }},
    {"list counted 2^31-1",
     [] {
         CArchiveBytes f = UpToBarList();
         return Bytes(BigCount(f, 0x7FFFFFFF).U16(5));
     }},
    {"big object index 2^31-1",
     [] {
         CArchiveBytes f = UpToBarList();
         return Bytes(f.U16(1).U16(0x7FFF).U32(0x7FFFFFFF));
     }},
    {"255 steps",
     [] {
         CArchiveBytes f = Start();
         f.U16(255);
         for (int i = 0; i < 255; ++i)
             f.Text("Signal Generator");
         return Bytes(f);
     },
     true},
    {"255 steps with their identities and panes",
     [] {
         CArchiveBytes f = Start();
         const std::vector<std::string> names(255, "Signal Generator"), ids(255, "1");
         f.Texts(names).Texts(ids);
         for (int i = 0; i < 255; ++i)
             f.I32(0).I32(0);
         return Bytes(f);
     },
     true},
    {"selected channel 2^31-1",
     [] {
         CArchiveBytes f = Start();
         f.Texts({"Signal Generator"}).Texts({"1"}).I32(0).I32(0);
         return Bytes(f.NewClass("CDspView").I32(INT32_MAX));
     }},
    {"selected channel -1",
     [] {
         CArchiveBytes f = Start();
         f.Texts({"Signal Generator"}).Texts({"1"}).I32(0).I32(0);
         return Bytes(f.NewClass("CDspView").I32(-1));
     }},
};

TEST(HostileProcessFile, EveryCraftedFileIsRefusedQuicklyWithAMessageAndStatus2) {
    CCliRun warmUp(GetBuiltInModules()); // the first open loads the sound system's configuration
    warmUp.Command({"info", warmUp.File("none.process")});
    for (const CHostileCase& c : kCases) {
        for (const char* command : {"info", "run"}) {
            CCliRun cli(GetBuiltInModules());
            const std::string path = cli.File("hostile.process");
            const Bytes bytes = c.bytes();
            PutFile(path, std::string(bytes.begin(), bytes.end()));
            const auto start = std::chrono::steady_clock::now();
            const int status = cli.Command({command, path});
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100))
                << c.name << ", " << command;
            if (c.opensEmpty) {
                EXPECT_EQ(status, 0) << c.name << ", " << command << ": " << cli.err;
                EXPECT_EQ(cli.out.find("Step "), std::string::npos) << c.name << ": " << cli.out;
                continue;
            }
            EXPECT_EQ(status, 2) << c.name << ", " << command << ": " << cli.out;
            EXPECT_NE(cli.err.find(path), std::string::npos) << c.name << ": " << cli.err;
            EXPECT_EQ(cli.err.find('\n'), cli.err.size() - 1) << c.name << ": " << cli.err;
        }
    }
}

} // namespace

// libFuzzer target: any bytes as an archive, asked for the seeds' members
// with and without their code; nothing beyond the declared size may come.
#include <cstdlib>

#include "../memory_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string archive(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"text.txt", "random.bin", "empty.txt", "big.bin", "-", "a.txt"})
        for (const char* code : {"", "Corvane!23"}) {
            StringSink sink;
            Extract(archive, name, code, sink);
            if (sink.out.size() > sink.declared)
                abort();
        }
    return 0;
}

// libFuzzer target: any bytes as an archive, asked for the seeds' members without and with their code, in
// one loop and on two threads; nothing beyond the declared size may come, and every thread is joined.
#include <cstdlib>

#include "../memory_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string archive(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"text.txt", "random.bin", "empty.txt", "big.bin", "-", "a.txt"})
        for (auto [code, split] : {std::pair("", false), {"Corvane!23", false}, {"Corvane!23", true}}) {
            StringSink sink;
            ThreadHelper helper;
            Extract(archive, name, code, sink, split ? &helper : nullptr);
            if (sink.out.size() > sink.declared || helper.started != helper.joined)
                abort();
        }
    return 0;
}

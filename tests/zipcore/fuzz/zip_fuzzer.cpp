// libFuzzer target: any bytes as an archive, asked for the members the
// seed archives hold, with and without their code. The sink counts and
// checks that nothing beyond the declared size arrives.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../memory_io.h"

namespace {

class CountingSink : public zip::Sink {
public:
    explicit CountingSink(uint64_t limit) : limit_(limit) {}
    zip::Result write(const void*, size_t count) override
    {
        written_ += count;
        if (written_ > limit_)
            abort();  // more than the archive declared reached the sink
        return zip::OK;
    }

private:
    uint64_t limit_;
    uint64_t written_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemorySource source(std::string(reinterpret_cast<const char*>(data), size));
    for (const char* name : {"text.txt", "random.bin", "empty.txt", "big.bin", "-", "a.txt"}) {
        zip::Entry entry;
        if (zip::FindEntry(source, name, &entry) != zip::OK)
            continue;
        for (const char* code : {"", "Corvane!23"}) {
            CountingSink sink(entry.size);
            zip::ExtractEntry(source, entry, code, sink);
        }
    }
    return 0;
}

// Throughput of the script tokenizer and of the keyed-array reader.
#include "framework/BinaryFile.h"
#include "framework/ScriptFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

// A script of typical shape: names, quoted texts, numbers, comments.
std::string MakeScript(std::size_t bytes)
{
    const std::string block =
        "// camera track\r\n"
        "object \"Main Camera\" {\r\n"
        "  position 12.5 -3.25 100 ; rotation 0 0.7071 0 0.7071\r\n"
        "  /* keys follow */ keys 4, 0 1 2 3\r\n"
        "}\r\n";
    std::string text;
    while (text.size() < bytes)
        text += block;
    return text;
}

void BM_ReadTokens(benchmark::State& state)
{
    const std::string text = MakeScript(static_cast<std::size_t>(state.range(0)));
    std::size_t tokens = 0;
    for (auto _ : state)
    {
        CScriptFile script(text.data(), static_cast<int32_t>(text.size()));
        while (*script.ReadToken('"') != '\0')
            ++tokens;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["tokens/s"] = benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadTokens)->Arg(1 << 20);

void BM_ReadKeys(benchmark::State& state)
{
    std::FILE* f = std::tmpfile();
    CKeyedArray<CKeyedVector3> written;
    for (int i = 0; i < state.range(0); ++i)
        written.Add().key = static_cast<float>(i);
    FileWriteKeys(f, written);
    CKeyedArray<CKeyedVector3> read;
    for (auto _ : state)
    {
        std::rewind(f);
        FileReadKeys(f, read);
        benchmark::DoNotOptimize(read.items);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::fclose(f);
}
BENCHMARK(BM_ReadKeys)->Arg(10000);

} // namespace

#include <benchmark/benchmark.h>

#include "foundation/KezBuffer.h"

// Appending one unit at a time is how bodies and RTF are built.
static void BM_WideBufferAppendChar(benchmark::State& state) {
  TKezWideCharBuffer buffer(4096, false);
  for (auto _ : state) {
    buffer.Clear();
    for (int i = 0; i < 4096; ++i) buffer.AppendChar(char16_t(u'a' + i % 26));
    benchmark::DoNotOptimize(buffer.AsText());
  }
  state.SetItemsProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_WideBufferAppendChar);

// Pictures per second through Picture: numbers, dates, fields and typed text,
// each printed as a ratio to formatting the same number with snprintf.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/ratio_reporter.h"
#include "runtime/values/picture.h"

namespace {

using ledora::runtime::Decimal;
using ledora::runtime::FieldRef;
using ledora::runtime::Picture;

std::vector<Decimal> Prices() {
  std::vector<Decimal> prices;
  for (int i = 0; i < 1024; ++i) prices.push_back(Decimal::FromUnits(i * 7919LL - 3'000'000, 2));
  return prices;
}

void BM_Snprintf(benchmark::State& state) {
  std::vector<double> prices;
  for (const Decimal& price : Prices()) prices.push_back(price.ToDouble());
  char buf[32];
  size_t i = 0;
  for (auto _ : state) {
    std::snprintf(buf, sizeof buf, "%13.2f", prices[i++ & 1023]);
    benchmark::DoNotOptimize(buf);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Snprintf);

void BM_NumberPicture(benchmark::State& state) {
  auto picture = Picture::Compile("@n-13.2");
  std::vector<Decimal> prices = Prices();
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(picture->Format(prices[i++ & 1023]));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NumberPicture);

void BM_DatePicture(benchmark::State& state) {
  auto picture = Picture::Compile("@d6");
  int32_t date = 58015;
  for (auto _ : state) {
    benchmark::DoNotOptimize(picture->Format(Decimal(date)));
    date = date < 80000 ? date + 1 : 58015;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DatePicture);

void BM_PackedFieldPicture(benchmark::State& state) {
  auto picture = Picture::Compile("@n-13.2");
  uint8_t price[5];
  FieldRef field = FieldRef::Packed(price, 5, 2);
  std::vector<Decimal> prices = Prices();
  size_t i = 0;
  for (auto _ : state) {
    SetNumber(field, prices[i++ & 1023]);
    benchmark::DoNotOptimize(picture->Format(field));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PackedFieldPicture);

void BM_NumberDeformat(benchmark::State& state) {
  auto picture = Picture::Compile("@n-13.2");
  Decimal value;
  for (auto _ : state) benchmark::DoNotOptimize(picture->Deformat("   -12,345.67", &value));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NumberDeformat);

void BM_CompileAndFormat(benchmark::State& state) {
  int32_t n = 123456;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ledora::runtime::FormatWithPicture("@n-13", FieldRef::Of(n)));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CompileAndFormat);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nCPU time per item relative to snprintf (lower is faster):\n");
  for (const char* name : {"BM_NumberPicture", "BM_DatePicture", "BM_PackedFieldPicture",
                           "BM_NumberDeformat", "BM_CompileAndFormat"}) {
    reporter.PrintRatio(name, "BM_Snprintf");
  }
  benchmark::Shutdown();
  return 0;
}

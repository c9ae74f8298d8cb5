// Start-up costs of the settings: reading the language file and options.xml, and text lookups.
#include <benchmark/benchmark.h>

#include "core/settings/atomic_file.h"
#include "core/settings/lang.h"
#include "core/settings/options.h"
#include "core/settings/xml_storage.h"

namespace {

std::string Shipped(const char* name) {
  std::string text;
  skimlet::ReadWholeFile(std::string(SKIMLET_SOURCE_DIR) + "/data/" + name, text);
  return text;
}

void BM_ParseEnglishLanguageFile(benchmark::State& state) {
  std::string text = Shipped("languages/english.lng");
  for (auto _ : state) benchmark::DoNotOptimize(skimlet::TLangFile::Parse(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseEnglishLanguageFile);

void BM_LookUpText(benchmark::State& state) {
  skimlet::TLangFile file = skimlet::TLangFile::Parse(Shipped("languages/english.lng"));
  for (auto _ : state) benchmark::DoNotOptimize(file.Find("srowCurrentConnectionSignalQuality"));
}
BENCHMARK(BM_LookUpText);

void BM_ReadAllOptions(benchmark::State& state) {
  std::string text = Shipped("Default/options.xml");
  for (auto _ : state) {
    skimlet::TXMLStorage storage("options.xml");
    storage.LoadText(text);
    skimlet::TProgramOptions options;
    skimlet::ReadOptions(storage, options, std::nullopt);
    benchmark::DoNotOptimize(options);
  }
}
BENCHMARK(BM_ReadAllOptions);

void BM_WriteAllOptions(benchmark::State& state) {
  std::string text = Shipped("Default/options.xml");
  skimlet::TXMLStorage storage("options.xml");
  storage.LoadText(text);
  skimlet::TProgramOptions options;
  for (auto _ : state) {
    skimlet::WriteOptions(storage, options);
    benchmark::DoNotOptimize(storage.ToText());
  }
}
BENCHMARK(BM_WriteAllOptions);

}  // namespace

BENCHMARK_MAIN();

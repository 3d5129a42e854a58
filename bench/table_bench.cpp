// How the table engine scales: appending rows to a keyed table (including the
// index file written on close) and locating rows by key, at 10 thousand and
// at 1 million rows. The time per row should not grow with the table.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/dbf/table.h"

namespace {

using ludaro::dbf::FieldDef;
using ludaro::dbf::Table;

std::filesystem::path BenchFolder() {
  auto folder = std::filesystem::temp_directory_path() / "ludaro-bench";
  std::filesystem::create_directories(folder);
  return folder;
}

std::u16string KeyOf(std::int64_t i) {
  std::string digits = std::to_string(i);
  std::u16string key = u"K";
  key.append(8 - std::min<std::size_t>(8, digits.size()), u'0');
  for (char c : digits) key.push_back(static_cast<char16_t>(c));
  return key;
}

// Keys in a shuffled order, so that neither the appends nor the locates walk
// the index in order.
std::vector<std::int64_t> ShuffledNumbers(std::int64_t count, unsigned seed) {
  std::vector<std::int64_t> numbers(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) numbers[static_cast<std::size_t>(i)] = i;
  std::shuffle(numbers.begin(), numbers.end(), std::mt19937(seed));
  return numbers;
}

void FillTable(const std::filesystem::path& folder, const std::vector<std::int64_t>& numbers) {
  Table table(folder, "BENCH");
  table.Create({{FieldDef::Text("ABREV", 10), FieldDef::Text("NOMBRE", 40), FieldDef::Integer("HORAS")}, {"ABREV"}});
  table.SetExclusive(true);
  table.Open();
  for (std::int64_t n : numbers) {
    table.Append();
    table.SetString("ABREV", KeyOf(n));
    table.SetString("NOMBRE", u"Profesora de Lingua Galega e Literatura");
    table.SetInteger("HORAS", n % 30);
    table.Post();
  }
  table.Close();
}

void BM_AppendKeyed(benchmark::State& state) {
  const auto folder = BenchFolder();
  const auto numbers = ShuffledNumbers(state.range(0), 1);
  for (auto _ : state) FillTable(folder, numbers);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["seconds_per_row"] =
      benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LocateKeyed(benchmark::State& state) {
  const auto folder = BenchFolder();
  FillTable(folder, ShuffledNumbers(state.range(0), 1));
  const auto lookups = ShuffledNumbers(state.range(0), 2);
  std::vector<ludaro::dbf::FieldValue> keys;
  keys.reserve(lookups.size());
  for (std::int64_t n : lookups) keys.emplace_back(KeyOf(n));
  for (auto _ : state) {
    Table table(folder, "BENCH");
    table.SetExclusive(true);
    table.Open();
    for (const auto& key : keys) {
      if (!table.Locate("ABREV", {key})) state.SkipWithError("a key was not found");
    }
    table.Close();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["seconds_per_row"] =
      benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Rows appended through a handle that shares the table: each is written
// through to the file at once, with the end-of-file mark and the row count.
void BM_AppendShared(benchmark::State& state) {
  const auto folder = BenchFolder();
  for (auto _ : state) {
    Table table(folder, "SHARED");
    table.Create({{FieldDef::Text("ABREV", 10), FieldDef::Text("NOMBRE", 40), FieldDef::Integer("HORAS")}, {}});
    table.Open();
    for (std::int64_t n = 0; n < state.range(0); ++n) {
      table.Append();
      table.SetString("ABREV", KeyOf(n));
      table.SetString("NOMBRE", u"Profesora de Lingua Galega e Literatura");
      table.SetInteger("HORAS", n % 30);
      table.Post();
    }
    table.Close();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["seconds_per_row"] =
      benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_AppendKeyed)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LocateKeyed)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AppendShared)->Arg(10'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// Reads of a 1,000,000-record payments file through BTRCALL and through the data layer, each
// beside plain SQLite doing the same reads on the layout that suits that read best.
//
// The files are built once in DUV_BENCH_DIR (default: a folder under the temporary
// directory) and reused while they hold what is expected.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "console/Keyboard.h"
#include "console/Screen.h"
#include "console/WindowStack.h"
#include "data/DataFiles.h"
#include "platform/VirtualConsole.h"
#include "recman/FileDefinition.h"
#include "recman/RecordManager.h"

namespace {

using duv::recman::RecordManager;
namespace op = duv::recman::op;

constexpr int kProperties = 1000;
constexpr int kDates = 1000;  // one payment per property and date: 1,000,000 records
constexpr std::size_t kRecordLength = 51;

std::string Folder() {
  const char* dir = std::getenv("DUV_BENCH_DIR");
  return dir ? std::string(dir) : (std::filesystem::temp_directory_path() / "duvbench").string();
}
std::string DataPath() { return Folder() + "/PagamV.dat"; }
std::string RawPath() { return Folder() + "/raw.sqlite"; }

// Property code and date in packed digits: each byte 128 + two digits.
std::string Key(int property, int date) {
  const int year = 2000 + date / 360, month = 1 + (date / 30) % 12, day = 1 + date % 30;
  const unsigned char bytes[6] = {
      static_cast<unsigned char>(128 + property / 100), static_cast<unsigned char>(128 + property % 100),
      static_cast<unsigned char>(128 + year / 100),     static_cast<unsigned char>(128 + year % 100),
      static_cast<unsigned char>(128 + month),          static_cast<unsigned char>(128 + day)};
  return std::string(reinterpret_cast<const char*>(bytes), 6);
}

std::string RecordFor(int property, int date) {
  std::string r = Key(property, date) + "  Supplier of the invoice  ";
  r.resize(kRecordLength, 'P');
  return r;
}

struct Block {
  std::array<std::uint8_t, duv::recman::kPositionBlockSize> bytes{};
};

std::int16_t Open(RecordManager& manager, Block& block, const std::string& path) {
  char owner[5] = {'4', '7', '1', '9', 0};
  std::uint32_t length = 5;
  std::string key = path + '\0';
  return manager.BTRCALL(op::kOpen, block.bytes.data(), owner, length, key.data(),
                         static_cast<std::uint8_t>(path.size()), 0);
}

std::uint32_t RecordCount(RecordManager& manager, Block& block) {
  std::array<char, 1536> data{};
  std::uint32_t length = data.size();
  std::array<std::uint8_t, 256> key{};
  if (manager.BTRCALL(op::kStat, block.bytes.data(), data.data(), length, key.data(), 255, 0) != 0) return 0;
  std::uint32_t count = 0;
  std::memcpy(&count, data.data() + 6, 4);
  return count;
}

void BuildDataFile() {
  RecordManager manager;
  Block block;
  if (Open(manager, block, DataPath()) == 0 && RecordCount(manager, block) == kProperties * kDates) return;
  std::uint32_t none = 0;
  manager.BTRCALL(op::kReset, block.bytes.data(), nullptr, none, nullptr, 0, 0);
  std::filesystem::create_directories(Folder());
  duv::recman::FileDefinition definition;
  definition.recordLength = kRecordLength;
  definition.pageSize = 1024;
  duv::recman::SegmentSpec segment;
  segment.position = 1;
  segment.length = 6;
  segment.flags = duv::recman::keyflag::kDuplicates | duv::recman::keyflag::kModifiable;
  definition.keys.push_back({{segment}});
  std::string create = definition.Encode();
  create.resize(1536, ' ');
  std::uint32_t length = 1536;
  std::string path = DataPath() + '\0';
  if (manager.BTRCALL(op::kCreate, block.bytes.data(), create.data(), length, path.data(),
                      static_cast<std::uint8_t>(path.size() - 1), 0) != 0 ||
      Open(manager, block, DataPath()) != 0) {
    std::fprintf(stderr, "cannot create %s\n", DataPath().c_str());
    std::exit(1);
  }
  std::array<std::uint8_t, 256> key{};
  manager.BTRCALL(op::kBeginTransaction, block.bytes.data(), nullptr, none, key.data(), 0, 0);
  // Payments arrive day by day for every property, so key order is not the order of writing.
  for (int date = 0; date < kDates; ++date) {
    for (int property = 0; property < kProperties; ++property) {
      std::string record = RecordFor(property, date);
      std::uint32_t recordLength = kRecordLength;
      manager.BTRCALL(op::kInsert, block.bytes.data(), record.data(), recordLength, key.data(), 255, -1);
    }
  }
  manager.BTRCALL(op::kEndTransaction, block.bytes.data(), nullptr, none, key.data(), 0, 0);
}

// Plain SQLite: the records clustered on (key, sequence), so that stepping along the key and
// looking a key up each touch one B-tree, and the data comes with the key.
void BuildRawFile() {
  sqlite3* db = nullptr;
  sqlite3_open(RawPath().c_str(), &db);
  sqlite3_stmt* count = nullptr;
  sqlite3_int64 rows = 0;
  if (sqlite3_prepare_v2(db, "SELECT count(*) FROM payments", -1, &count, nullptr) == SQLITE_OK &&
      sqlite3_step(count) == SQLITE_ROW) {
    rows = sqlite3_column_int64(count, 0);
  }
  sqlite3_finalize(count);
  if (rows == kProperties * kDates) {
    sqlite3_close(db);
    return;
  }
  sqlite3_exec(db,
               "PRAGMA journal_mode = WAL; DROP TABLE IF EXISTS payments;"
               "CREATE TABLE payments(k BLOB NOT NULL, s INTEGER NOT NULL, data BLOB NOT NULL,"
               " PRIMARY KEY (k, s)) WITHOUT ROWID; BEGIN;",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO payments VALUES (?1, ?2, ?3)", -1, &insert, nullptr);
  int sequence = 0;
  for (int date = 0; date < kDates; ++date) {
    for (int property = 0; property < kProperties; ++property) {
      const std::string record = RecordFor(property, date);
      sqlite3_bind_blob(insert, 1, record.data(), 6, SQLITE_TRANSIENT);
      sqlite3_bind_int(insert, 2, ++sequence);
      sqlite3_bind_blob(insert, 3, record.data(), static_cast<int>(record.size()), SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// Random existing keys, the same list for every lookup benchmark.
const std::vector<std::string>& RandomKeys() {
  static const std::vector<std::string> keys = [] {
    std::mt19937 random(42);
    std::vector<std::string> list;
    for (int i = 0; i < 100000; ++i) list.push_back(Key(static_cast<int>(random() % kProperties), static_cast<int>(random() % kDates)));
    return list;
  }();
  return keys;
}

void Setup() {
  static const bool built = [] {
    BuildDataFile();
    BuildRawFile();
    return true;
  }();
  (void)built;
}

// Get Next along key 0 for every iteration, starting again at the first record at the end.
void ReadAlongKey0(benchmark::State& state) {
  RecordManager manager;
  Block block;
  Open(manager, block, DataPath());
  std::array<char, 1536> data{};
  std::array<std::uint8_t, 256> key{};
  std::uint32_t length = data.size();
  manager.BTRCALL(op::kGetFirst, block.bytes.data(), data.data(), length, key.data(), 6, 0);
  for (auto _ : state) {
    length = data.size();
    if (manager.BTRCALL(op::kGetNext, block.bytes.data(), data.data(), length, key.data(), 6, 0) != 0) {
      length = data.size();
      manager.BTRCALL(op::kGetFirst, block.bytes.data(), data.data(), length, key.data(), 6, 0);
    }
    benchmark::DoNotOptimize(data);
  }
}

void BM_BtrcallGetNext(benchmark::State& state) {
  Setup();
  ReadAlongKey0(state);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BtrcallGetNext)->MinTime(2.0);

// The same, while another client commits a change every millisecond: each commit drops the
// read-ahead, so that the reader still sees it.
void BM_BtrcallGetNextWhileAnotherCommits(benchmark::State& state) {
  Setup();
  std::atomic<bool> stop{false};
  std::atomic<long> commits{0};
  std::thread writer([&] {
    RecordManager other;
    Block block;
    Open(other, block, DataPath());
    std::array<std::uint8_t, 256> key{};
    while (!stop) {
      std::string record = RecordFor(kProperties - 1, kDates + 1);
      std::uint32_t length = kRecordLength;
      other.BTRCALL(op::kInsert, block.bytes.data(), record.data(), length, key.data(), 255, 0);
      length = kRecordLength;
      other.BTRCALL(op::kDelete, block.bytes.data(), record.data(), length, key.data(), 255, 0);
      commits += 2;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  ReadAlongKey0(state);
  stop = true;
  writer.join();
  state.SetItemsProcessed(state.iterations());
  state.counters["commits"] = static_cast<double>(commits.load());
}
BENCHMARK(BM_BtrcallGetNextWhileAnotherCommits)->MinTime(2.0)->UseRealTime();

void BM_RawStepAlongKey(benchmark::State& state) {
  Setup();
  sqlite3* db = nullptr;
  sqlite3_open_v2(RawPath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(db, "SELECT k, data FROM payments ORDER BY k, s", -1, &scan, nullptr);
  std::array<char, 1536> data{};
  for (auto _ : state) {
    if (sqlite3_step(scan) != SQLITE_ROW) {
      sqlite3_reset(scan);
      sqlite3_step(scan);
    }
    std::memcpy(data.data(), sqlite3_column_blob(scan, 1), static_cast<std::size_t>(sqlite3_column_bytes(scan, 1)));
    benchmark::DoNotOptimize(data);
  }
  sqlite3_finalize(scan);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawStepAlongKey)->MinTime(2.0);

// Plain SQLite asked afresh for the row after the last one, as a reader that keeps nothing
// open between reads must do without a read-ahead.
void BM_RawRequeryNext(benchmark::State& state) {
  Setup();
  sqlite3* db = nullptr;
  sqlite3_open_v2(RawPath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* next = nullptr;
  sqlite3_prepare_v2(db, "SELECT k, s, data FROM payments WHERE (k, s) > (?1, ?2) ORDER BY k, s LIMIT 1", -1,
                     &next, nullptr);
  std::string k;
  sqlite3_int64 s = 0;
  std::array<char, 1536> data{};
  for (auto _ : state) {
    sqlite3_bind_blob(next, 1, k.data(), static_cast<int>(k.size()), SQLITE_STATIC);
    sqlite3_bind_int64(next, 2, s);
    if (sqlite3_step(next) == SQLITE_ROW) {
      k.assign(static_cast<const char*>(sqlite3_column_blob(next, 0)), static_cast<std::size_t>(sqlite3_column_bytes(next, 0)));
      s = sqlite3_column_int64(next, 1);
      std::memcpy(data.data(), sqlite3_column_blob(next, 2), static_cast<std::size_t>(sqlite3_column_bytes(next, 2)));
    } else {
      k.clear();
      s = 0;
    }
    sqlite3_reset(next);
    benchmark::DoNotOptimize(data);
  }
  sqlite3_finalize(next);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawRequeryNext)->MinTime(2.0);

void BM_BtrcallGetEqual(benchmark::State& state) {
  Setup();
  RecordManager manager;
  Block block;
  Open(manager, block, DataPath());
  const auto& keys = RandomKeys();
  std::array<char, 1536> data{};
  std::array<std::uint8_t, 256> key{};
  std::size_t i = 0;
  for (auto _ : state) {
    std::memcpy(key.data(), keys[i].data(), 6);
    i = (i + 1) % keys.size();
    std::uint32_t length = data.size();
    if (manager.BTRCALL(op::kGetEqual, block.bytes.data(), data.data(), length, key.data(), 6, 0) != 0) {
      state.SkipWithError("a key was not found");
      break;
    }
    benchmark::DoNotOptimize(data);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BtrcallGetEqual)->MinTime(2.0);

void BM_RawPointLookup(benchmark::State& state) {
  Setup();
  sqlite3* db = nullptr;
  sqlite3_open_v2(RawPath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* lookup = nullptr;
  sqlite3_prepare_v2(db, "SELECT data FROM payments WHERE k = ?1 ORDER BY s LIMIT 1", -1, &lookup, nullptr);
  const auto& keys = RandomKeys();
  std::array<char, 1536> data{};
  std::size_t i = 0;
  for (auto _ : state) {
    sqlite3_bind_blob(lookup, 1, keys[i].data(), 6, SQLITE_STATIC);
    i = (i + 1) % keys.size();
    if (sqlite3_step(lookup) != SQLITE_ROW) {
      state.SkipWithError("a key was not found");
      break;
    }
    std::memcpy(data.data(), sqlite3_column_blob(lookup, 0), static_cast<std::size_t>(sqlite3_column_bytes(lookup, 0)));
    sqlite3_reset(lookup);
    benchmark::DoNotOptimize(data);
  }
  sqlite3_finalize(lookup);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawPointLookup)->MinTime(2.0);

// The data layer as the register drives it: a keyed read, then single moves.
class DataLayer {
 public:
  DataLayer() : console_(25, 80), screen_(console_, colours_), windows_(screen_, Folder() + "/"), keyboard_(console_),
                data_(manager_, settings_, windows_, keyboard_) {
    std::int16_t status = 0;
    std::string name = DataPath();
    name.resize(name.size() - 4);  // the layer adds ".dat"
    data_.OpenDataFile(510, name, record_, status);
  }
  duv::DataFiles& Data() { return data_; }
  const std::string& Record() const { return record_; }

 private:
  RecordManager manager_;
  duv::SessionSettings settings_;
  duv::VirtualConsole console_;
  std::array<duv::ColourPair, 5> colours_{};
  duv::Screen screen_;
  duv::WindowStack windows_;
  duv::Keyboard keyboard_;
  duv::DataFiles data_;
  std::string record_;
};

void BM_DataLayerGetByKey(benchmark::State& state) {
  Setup();
  DataLayer layer;
  const auto& keys = RandomKeys();
  std::size_t i = 0;
  std::int16_t status = 0;
  for (auto _ : state) {
    layer.Data().GetByKey(510, 0, keys[i], 1, status);
    i = (i + 1) % keys.size();
    if (status != 0) {
      state.SkipWithError("a read failed");
      break;
    }
    benchmark::DoNotOptimize(layer.Record());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DataLayerGetByKey)->MinTime(2.0);

void BM_DataLayerMoveRecords(benchmark::State& state) {
  Setup();
  DataLayer layer;
  std::int16_t status = 0;
  layer.Data().GetByKey(510, 0, std::string(6, '\0'), 1, status);
  for (auto _ : state) {
    layer.Data().MoveRecords(510, 1, status);
    if (status != 0) layer.Data().GetByKey(510, 0, std::string(6, '\0'), 1, status);
    benchmark::DoNotOptimize(layer.Record());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DataLayerMoveRecords)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();

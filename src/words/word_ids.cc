#include "words/word_ids.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "run/commands.h"
#include "run/screens.h"
#include "run/work_files.h"

namespace words {

namespace {

// The first 8 bytes of a word's lower case as its record field sorts (its
// closing quote after its last byte, zeros after that), big-endian: words
// whose keys differ sort as their keys, without reaching their texts. No
// word holds a double quote, so two words differ before either field's
// closing quote is passed. `form` is any written form of the word.
uint64_t SortKey(std::string_view form) {
  uint64_t key = 0;
  for (size_t at = 0; at < 8; ++at) {
    const unsigned char byte = at < form.size()
                                   ? static_cast<unsigned char>(common::LowerByte(form[at]))
                               : at == form.size() ? '"'
                                                   : 0;
    key = key << 8 | byte;
  }
  return key;
}

// A word and its sort key.
struct Keyed {
  uint64_t key;
  uint32_t word;
};

// Sorts `keyed` by key in a pass a byte, the lowest byte first, each pass
// keeping the order of equal bytes: linear in the words, where a sort by
// compares lost most of its time to branches guessed wrong. A byte that
// is the same in every key takes no pass.
void SortByKey(std::vector<Keyed>& keyed) {
  constexpr int kBytes = 8;
  constexpr size_t kValues = 256;
  std::vector<std::array<size_t, kValues>> counts(kBytes);
  for (const Keyed& entry : keyed) {
    for (int byte = 0; byte < kBytes; ++byte) ++counts[byte][(entry.key >> (8 * byte)) & 0xFF];
  }
  std::vector<Keyed> sorted(keyed.size());
  for (int byte = 0; byte < kBytes; ++byte) {
    std::array<size_t, kValues>& at = counts[byte];
    if (std::find(at.begin(), at.end(), keyed.size()) != at.end()) continue;
    size_t start = 0;
    for (size_t& count : at) start += std::exchange(count, start);
    for (const Keyed& entry : keyed) sorted[at[(entry.key >> (8 * byte)) & 0xFF]++] = entry;
    keyed.swap(sorted);
  }
}

}  // namespace

void NumberWords(runctx::WordData& data) {
  std::vector<Keyed> keyed;
  keyed.reserve(data.words.size());
  for (uint32_t word = 0; word < data.words.size(); ++word) {
    const runctx::WordInfo& info = data.words[word];
    if (info.count > 0) keyed.push_back({SortKey(data.Form(info.first_form)), word});
  }
  SortByKey(keyed);
  // Words of the same key go by their texts. Two words never tie: their
  // lower cases differ.
  for (auto from = keyed.begin(); from != keyed.end();) {
    auto to =
        std::find_if(from, keyed.end(), [&](const Keyed& entry) { return entry.key != from->key; });
    if (to - from > 1) {
      std::sort(from, to, [&](const Keyed& a, const Keyed& b) {
        return runctx::LowerFieldLess(data.Form(data.words[a.word].first_form),
                                      data.Form(data.words[b.word].first_form));
      });
    }
    from = to;
  }
  std::vector<uint32_t>& order = data.by_id;
  order.clear();
  order.reserve(keyed.size());
  for (const Keyed& entry : keyed) order.push_back(entry.word);
  std::vector<Keyed>().swap(keyed);  // assigning {} would keep its capacity
  data.ids.assign(data.words.size(), 0);
  uint64_t before = 0;
  for (uint32_t word : order) {
    data.ids[word] = before;
    before += data.words[word].count;
  }
}

void AssignWordIds(runctx::RunContext& run) {
  // "processed 10%" closes the word extraction, which made the word data.
  runctx::WordData& data = *run.word_data;
  NumberWords(data);
  runctx::Progress(run, 20);
  runctx::Progress(run, 30);
  runctx::Progress(run, 40);
  for (int group = 1; group <= data.group_count; ++group) {
    runctx::CreateFile(run, runctx::GroupWordFile(group)).Close();
  }
  runctx::Progress(run, 50);
}

}  // namespace words

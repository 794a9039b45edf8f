#include "words/word_ids.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "run/commands.h"
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
    const unsigned char byte = at < form.size() ? static_cast<unsigned char>(common::LowerByte(form[at]))
                               : at == form.size() ? '"'
                                                   : 0;
    key = key << 8 | byte;
  }
  return key;
}

// True when the lower case of form `a` sorts before that of form `b` as
// record fields do. Keys tie rarely, so lowering here costs little.
bool LowerFieldLess(std::string_view a, std::string_view b) {
  return runctx::FieldLess(common::Lower(a), common::Lower(b));
}

}  // namespace

void NumberWords(runctx::WordData& data) {
  struct Keyed {
    uint64_t key;
    uint32_t word;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(data.words.size());
  for (uint32_t word = 0; word < data.words.size(); ++word) {
    const runctx::WordInfo& info = data.words[word];
    if (info.count > 0) keyed.push_back({SortKey(data.Form(info.first_form)), word});
  }
  std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
    if (a.key != b.key) return a.key < b.key;
    return LowerFieldLess(data.Form(data.words[a.word].first_form),
                          data.Form(data.words[b.word].first_form));
  });
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

void BuildWordLists(runctx::RunContext& run) {
  // "processed 10%" closes the word extraction before this phase starts.
  if (!run.word_data) run.word_data = std::make_shared<runctx::WordData>();
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

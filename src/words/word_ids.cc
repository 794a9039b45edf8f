#include "words/word_ids.h"

#include <algorithm>
#include <string>
#include <vector>

#include "run/commands.h"
#include "run/work_files.h"

namespace words {

void NumberWords(runctx::WordData& data) {
  std::vector<uint32_t>& order = data.by_id;
  order.clear();
  for (uint32_t word = 0; word < data.words.size(); ++word) {
    if (data.words[word].count > 0) order.push_back(word);
  }
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return runctx::FieldLess(data.lower.text(a), data.lower.text(b));
  });
  order.shrink_to_fit();
  data.ids.assign(data.words.size(), 0);
  uint64_t before = 0;
  for (uint32_t word : order) {
    data.ids[word] = before;
    before += data.words[word].count;
  }
  // The lower case of the words served only this order.
  data.lower = common::Interner();
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

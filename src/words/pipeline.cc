#include "words/pipeline.h"

#include <algorithm>
#include <string>
#include <vector>

#include "driver/conventions.h"

namespace words {

void NumberWords(rundata::WordData& data) {
  std::vector<uint32_t>& order = data.by_id;
  order.clear();
  for (uint32_t word = 0; word < data.words.size(); ++word) {
    if (data.words[word].count > 0) order.push_back(word);
  }
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return rundata::FieldLess(data.lower.text(a), data.lower.text(b));
  });
  uint64_t before = 0;
  for (uint32_t word : order) {
    data.words[word].id = before;
    before += data.words[word].count;
  }
}

void BuildWordLists(driver::RunContext& run) {
  // "processed 10%" closes the word extraction before this phase starts.
  if (!run.word_data) run.word_data = std::make_shared<rundata::WordData>();
  rundata::WordData& data = *run.word_data;
  NumberWords(data);
  driver::Progress(run, 20);
  driver::Progress(run, 30);
  run.group_count = data.group_count;
  driver::Progress(run, 40);
  for (int group = 1; group <= run.group_count; ++group) {
    driver::CreateFile(run, "wrd_24_" + std::to_string(group) + ".txt").Close();
  }
  driver::Progress(run, 50);
}

}  // namespace words

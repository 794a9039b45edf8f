#include "scan/page_numbering.h"

#include <algorithm>

#include "common/bytes.h"

namespace scan {

using runctx::PageWords;

void PageNumbering::Clear() {
  forms_.Clear();
  words_.Clear();
  form_word_.clear();
  seen_.clear();
  line_of_.clear();
}

uint32_t PageNumbering::FormOf(std::string_view text, PageWords* piece) {
  const uint64_t hash = common::HashBytes(text);
  const auto [form, new_form] = forms_.Intern(text, hash);
  if (!new_form) return form;
  bool changed;
  const std::string_view lower = common::LowerOf(text, &lower_, &changed);
  uint32_t word = PageWords::kDropped;
  // Most forms hold no "&": it is looked for inline before "&nbsp;" is.
  if (std::find(lower.begin(), lower.end(), '&') == lower.end() ||
      !common::Contains(lower, "&nbsp;")) {
    word = words_.Intern(lower, changed ? common::HashBytes(lower) : hash).first;
    if (word == seen_.size()) {
      seen_.push_back(0);
      line_of_.push_back(0);
    }
  }
  form_word_.push_back(word);
  piece->forms.push_back(
      {static_cast<uint32_t>(piece->text.size()), static_cast<uint32_t>(text.size()), hash, word});
  piece->text += text;
  return form;
}

void PageNumbering::AddLine(uint32_t line, const std::vector<Word>& words, PageWords* piece) {
  const size_t from = piece->taken.size();
  for (const Word& word : words) {
    const uint32_t form = FormOf(word.text, piece);
    if (form_word_[form] == PageWords::kDropped) continue;
    piece->taken.push_back({line, static_cast<uint32_t>(word.position), form, 0});
  }
  NumberLine(piece, from);
}

void PageNumbering::NumberLine(PageWords* piece, size_t from) {
  std::vector<PageWords::Taken>& taken = piece->taken;
  if (from == taken.size()) return;
  // Most lines hold each word once: then position order is number order.
  const uint32_t line = taken[from].line;
  bool repeated = false;
  for (size_t i = from; i < taken.size() && !repeated; ++i) {
    uint32_t& last = line_of_[form_word_[taken[i].form]];
    repeated = last == line;
    last = line;
  }
  if (!repeated) {
    for (size_t i = from; i < taken.size(); ++i)
      taken[i].number = ++seen_[form_word_[taken[i].form]];
    return;
  }
  order_.clear();
  for (size_t i = from; i < taken.size(); ++i) order_.push_back(i);
  std::sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
    const PageWords::Taken& x = taken[a];
    const PageWords::Taken& y = taken[b];
    const uint32_t x_word = form_word_[x.form], y_word = form_word_[y.form];
    if (x_word != y_word) return x_word < y_word;
    if (x.form != y.form) return runctx::FieldLess(forms_.text(x.form), forms_.text(y.form));
    return x.column < y.column;
  });
  for (size_t i : order_) taken[i].number = ++seen_[form_word_[taken[i].form]];
}

}  // namespace scan

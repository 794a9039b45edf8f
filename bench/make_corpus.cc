// Makes a deterministic corpus of text files for timing the indexer: a
// Zipf-like vocabulary (a few very common short words, a long tail of rare
// ones, some UTF-8), sentence capitals, punctuation, quotes and blank lines.
//
//   make_corpus FILES WORDS OUTPUT_FOLDER [START] [markup] [even] [vocabulary=N] [long=N]
//
// With "markup" the text also carries what real notes hold and what the
// pages must survive: tags, links, tables, script blocks, tabs, leading
// blanks, "<pre>" in a line, case variants, "#", "&", "+" and "%" in
// words, "&nbsp;", words beside quotes and control bytes, lines of more
// than 28 words, an empty file and one line longer than a page line.
//
// With "even" every file holds the same number of words (else they vary
// around the mean); "vocabulary=N" draws from N words instead of 60,000;
// "long=N" gives the first file N words (a text that becomes several
// pages) and the others share the rest.
//
// Sizes used by the benchmarks (bench/common.sh): s = 50 100000,
// m = 200 1000000, l = 400 5000000, xl = 1000 25000000. Used by
// memory_bound.sh, with a vocabulary of 100,000 and even files: 25.5
// million words (about 200 MB) in one file, and in 20 files of about 10 MB.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// SplitMix64: small, fast and the same on every host.
class Random {
 public:
  explicit Random(std::uint64_t start) : state_(start) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }

 private:
  std::uint64_t state_;
};

constexpr size_t kDefaultVocabulary = 60000;

// Common words first, then made-up words that grow longer with their rank.
std::vector<std::string> MakeVocabulary(Random& random, size_t size) {
  std::vector<std::string> words = {
      "the", "of", "and", "to",  "in", "a",    "is",  "that", "for", "it",   "as", "was",   "with",
      "be",  "by", "on",  "not", "he", "this", "are", "or",   "his", "from", "at", "which", "but"};
  const std::vector<std::string> syllables = {
      "ka", "lo", "mi",  "ren", "tas", "ver", "qui", "pon", "del", "fra", "sto", "ul",
      "an", "ex", "bri", "gor", "ne",  "sa",  "tum", "vi",  "o",   "ar",  "le",  "mon"};
  const std::vector<std::string> utf8 = {
      "\xC3\xA9", "\xC3\xBC", "\xC3\x9F", "\xD0\xB6", "\xE6\x97\xA5\xE6\x9C\xAC", "\xC3\xB1"};
  while (words.size() < size) {
    size_t rank = words.size();
    size_t count =
        1 + static_cast<size_t>(std::log10(static_cast<double>(rank))) / 2 + random.Below(3);
    std::string word;
    for (size_t i = 0; i < count; ++i) word += syllables[random.Below(syllables.size())];
    if (random.Below(20) == 0)
      word.insert(random.Below(word.size() + 1), utf8[random.Below(utf8.size())]);
    words.push_back(word);
  }
  return words;
}

// Cumulative Zipf-Mandelbrot weights 1 / (rank + 2.7).
std::vector<double> MakeWeights(size_t size) {
  std::vector<double> cumulative(size);
  double sum = 0;
  for (size_t rank = 0; rank < size; ++rank) {
    sum += 1.0 / (static_cast<double>(rank) + 2.7);
    cumulative[rank] = sum;
  }
  for (double& value : cumulative) value /= sum;
  return cumulative;
}

struct Corpus {
  std::vector<std::string> words;
  std::vector<double> weights;
};

const std::string& PickWord(const Corpus& corpus, Random& random) {
  auto hit = std::lower_bound(corpus.weights.begin(), corpus.weights.end(), random.Unit());
  size_t rank =
      std::min(static_cast<size_t>(hit - corpus.weights.begin()), corpus.words.size() - 1);
  return corpus.words[rank];
}

// A piece of markup or an odd word, put between the words of a line.
std::string Oddity(Random& random, const std::string& word) {
  static const char* const kPieces[] = {"<b>",
                                        "</b>",
                                        "<a href=\"notes.htm\">",
                                        "</a>",
                                        "<i>",
                                        "\t",
                                        "#1028103)",
                                        "a&b",
                                        "C++",
                                        "100%",
                                        "&nbsp;",
                                        "x\"y\"z",
                                        "\x11"
                                        "ctl",
                                        "<pre>",
                                        "</html>",
                                        "Pages_list",
                                        "abc!",
                                        "ABC",
                                        "Abc",
                                        "<br>",
                                        "<",
                                        ">",
                                        "\"\"",
                                        "&amp;",
                                        "\xE2\x82\xAC\xE2\x82\xAC",
                                        "style=",
                                        "href=3000",
                                        "look_at:"};
  std::string piece = kPieces[random.Below(sizeof kPieces / sizeof kPieces[0])];
  if (random.Below(3) == 0) return piece + word;
  return piece;
}

// A whole line of markup: a table, a script block, a blank line with
// leading blanks, a long line.
void WriteMarkupLine(std::ofstream& out, Random& random) {
  switch (random.Below(6)) {
    case 0:
      out << "<table border=1><tr><td>Name</td><td>Value</td></tr>\r\n"
          << "<tr><td>\tone two</td></tr>\r\n</table> after table\r\n";
      break;
    case 1:
      out << "<script>\r\nvar hidden = 1;\r\n</script>\r\n";
      break;
    case 2:
      out << "    indented words stay here\r\n";
      break;
    case 3:
      out << "wrap code in <pre> blocks\r\n<pre>\r\n";
      break;
    case 4: {
      std::string line;
      for (int i = 0; i < 40; ++i) line += "word" + std::to_string(random.Below(30)) + " ";
      out << line << "\r\n";
      break;
    }
    default:
      out << "<a href=\"x\">single</a> then text\r\n";
      break;
  }
}

// Writes one text file of `count` words.
void WriteText(const std::filesystem::path& path, const Corpus& corpus, size_t count,
               Random& random, bool markup) {
  std::ofstream out(path, std::ios::binary);
  std::string line;
  bool sentence_start = true;
  size_t line_words = 5 + random.Below(11);
  for (size_t i = 0; i < count; ++i) {
    std::string word = PickWord(corpus, random);
    if (sentence_start && word[0] >= 'a' && word[0] <= 'z')
      word[0] = static_cast<char>(word[0] - 32);
    sentence_start = false;
    size_t mark = random.Below(100);
    if (mark < 2) word = "\"" + word + "\"";
    if (mark >= 2 && mark < 7) word += ",";
    if (mark >= 7 && mark < 11) {
      word += ".";
      sentence_start = true;
    }
    if (markup && random.Below(8) == 0) word = Oddity(random, word);
    if (markup && random.Below(30) == 0) {
      for (char& c : word) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    if (!line.empty()) line += ' ';
    line += word;
    if (--line_words == 0) {
      out << line << "\r\n";
      if (random.Below(12) == 0) out << "\r\n";
      if (markup && random.Below(10) == 0) WriteMarkupLine(out, random);
      line.clear();
      line_words = 5 + random.Below(11);
    }
  }
  if (!line.empty()) out << line << "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: make_corpus FILES WORDS OUTPUT_FOLDER [START] [markup] [even]"
                 " [vocabulary=N] [long=N]\n";
    return 2;
  }
  size_t files = std::stoul(argv[1]);
  size_t words = std::stoul(argv[2]);
  std::filesystem::path folder = argv[3];
  std::uint64_t start = argc > 4 ? std::stoull(argv[4]) : 1;
  bool markup = false;
  bool even = false;
  size_t vocabulary = kDefaultVocabulary;
  size_t first_words = 0;  // 0: the first file is like the others
  for (int i = 5; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "markup") {
      markup = true;
    } else if (option == "even") {
      even = true;
    } else if (option.starts_with("vocabulary=")) {
      vocabulary = std::stoul(option.substr(11));
    } else if (option.starts_with("long=")) {
      first_words = std::stoul(option.substr(5));
    } else {
      std::cerr << "make_corpus: unknown option " << option << "\n";
      return 2;
    }
  }
  if (files == 0 || vocabulary < 100 || first_words > words) return 2;
  std::filesystem::create_directories(folder);
  Random random(start);
  Corpus corpus{MakeVocabulary(random, vocabulary), MakeWeights(vocabulary)};
  // Files vary in size around the mean; the last one takes what is left.
  size_t left = words - first_words;
  for (size_t i = 0; i < files; ++i) {
    const size_t others = first_words > 0 ? files - 1 : files;
    size_t mean = others == 0 ? 0 : (words - first_words) / others;
    size_t count = first_words > 0 && i == 0 ? first_words
                   : i + 1 == files          ? left
                   : even                    ? mean
                                             : std::min(left, mean / 2 + random.Below(mean + 1));
    if (first_words == 0 || i > 0) left -= count;
    std::string number = std::to_string(i + 1);
    std::string name =
        "doc_" + std::string(number.size() < 5 ? 5 - number.size() : 0, '0') + number + ".txt";
    WriteText(folder / name, corpus, markup && i == 1 ? 0 : count, random, markup);
    if (markup && i == 2) {
      // One line longer than a page line, cut into pieces by the conversion.
      std::ofstream out(folder / name, std::ios::binary | std::ios::app);
      for (int k = 0; k < 30000; ++k) out << "long" << (k % 7) << ' ';
      out << "\r\n";
    }
  }
  return 0;
}

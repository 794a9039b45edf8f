#include "input/markup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace input {
namespace {

// The windows of one line as a long line is read: `step` settled bytes
// each, with the lookahead after them; the last settles the rest.
std::vector<LineWindow> Windows(std::string_view line, uint64_t start, size_t step) {
  std::vector<LineWindow> windows;
  size_t at = 0;
  for (;;) {
    const std::string_view rest = line.substr(at);
    const bool last = rest.size() <= step + LineWindow::kLookahead;
    const std::string_view bytes = last ? rest : rest.substr(0, step + LineWindow::kLookahead);
    windows.push_back({bytes, last ? bytes.size() : step, start + at, at == 0, last});
    if (last) return windows;
    at += step;
  }
}

// The text with each "<" that does not begin markup written "&lt;": a first
// pass over its windows, then each window escaped, as the conversion does;
// each line is one window, or windows of `step` settled bytes.
std::string Escaped(std::string_view text, size_t step = SIZE_MAX / 2) {
  std::vector<LineWindow> windows;
  uint64_t start = 0;
  for (size_t from = 0;;) {
    const size_t end = text.find('\n', from);
    const std::string_view line = text.substr(from, end - from);
    for (const LineWindow& window : Windows(line, start, step)) windows.push_back(window);
    if (end == std::string_view::npos) break;
    start += line.size() + 1;
    from = end + 1;
  }
  MarkupRule rule;
  for (const LineWindow& window : windows) rule.Record(window);
  std::string out;
  for (const LineWindow& window : windows) {
    if (window.first && window.start > 0) out += '\n';
    rule.Escape(window, &out);
  }
  return out;
}

TEST(MarkupTest, KeepsMarkupAndWritesOtherAngleBracketsAsText) {
  struct Case {
    std::string_view text, expected;
  } cases[] = {
      // Markup stays.
      {"<b>bold</b>", "<b>bold</b>"},
      {"<table border=1>\n<tr><td>x\n</table>", "<table border=1>\n<tr><td>x\n</table>"},
      {"<a href=\"x\">link</a>", "<a href=\"x\">link</a>"},
      {"<br/> <p> <HR > <li>item <img src=x>", "<br/> <p> <HR > <li>item <img src=x>"},
      {"<TABLE>\n</Table>", "<TABLE>\n</Table>"},
      {"<h1>T</h1> <b\tx=1>y</b >", "<h1>T</h1> <b\tx=1>y</b >"},
      {"<!DOCTYPE html> <!doctype> <?xml v?> <?\?>", "<!DOCTYPE html> <!doctype> <?xml v?> <?\?>"},
      {"<!-- note -->", "<!-- note -->"},
      {"<!-- note\nstill -->", "<!-- note\nstill -->"},
      {"<!---->", "<!---->"},
      {"x</p> </td", "x</p> </td"},  // an end tag needs no start tag
      {"</b\t</i>", "</b\t</i>"},
      // Elements that hold nothing: br, hr and wbr bare, the others with
      // attributes.
      {"<br> <hr/> <WBR> <img src=x> <input\ttype=text> <br",
       "<br> <hr/> <WBR> <img src=x> <input\ttype=text> <br"},
      // Text stays text.
      {"Name <user@example.org>", "Name &lt;user@example.org>"},
      {"#include <stdio.h> <https://example.org/>",
       "#include &lt;stdio.h> &lt;https://example.org/>"},
      {"a<5, x < y, <=, <>, < b>", "a&lt;5, x &lt; y, &lt;=, &lt;>, &lt; b>"},
      {"<bold> <!nocheck> <b-x> <h7> <ol2>", "&lt;bold> &lt;!nocheck> &lt;b-x> &lt;h7> &lt;ol2>"},
      {"git add <path>; --conflict=<style>; ctest -S <script>; cp <file> <dir>",
       "git add &lt;path>; --conflict=&lt;style>; ctest -S &lt;script>; cp &lt;file> &lt;dir>"},
      {"</bold> </1> </> </ b>", "&lt;/bold> &lt;/1> &lt;/> &lt;/ b>"},
      {"<![cdata[ <?x ?> <?>", "&lt;![cdata[ <?x ?> &lt;?>"},
      // CDATA is no markup in a page: it would hide the text up to a ">".
      {"<![CDATA[x]]>", "&lt;![CDATA[x]]>"},
      // An end tag's name ends at a blank, a tab, ">" or the line end.
      {"</b-tree> </p@example.org> <b>x</b-tree>",
       "&lt;/b-tree> &lt;/p@example.org> &lt;b>x&lt;/b-tree>"},
      // Placeholders named like elements that hold nothing.
      {"ln -s <source> <link>; ffmpeg -i <input>; <img> <img/> <meta",
       "ln -s &lt;source> &lt;link>; ffmpeg -i &lt;input>; &lt;img> &lt;img/> &lt;meta"},
      // Elements whose content a browser does not show as page text.
      {"<textarea>t</textarea> <title>t</title> <iframe src=x></iframe>",
       "&lt;textarea>t&lt;/textarea> &lt;title>t&lt;/title> &lt;iframe src=x>&lt;/iframe>"},
      {"<noscript>n</noscript><noframes>f</noframes><template>t</template>",
       "&lt;noscript>n&lt;/noscript>&lt;noframes>f&lt;/noframes>&lt;template>t&lt;/template>"},
      {"<?x\n?>", "&lt;?x\n?>"},  // the "?>" must be on the line
      // A start tag whose end tag must follow later in the file.
      {"<style>\nx\n</STYLE>", "<style>\nx\n</STYLE>"},
      {"</b> then <b>", "</b> then &lt;b>"},
      {"<b></bx> <i></i2>", "&lt;b>&lt;/bx> &lt;i>&lt;/i2>"},
      {"<em>x</em3 <em>", "&lt;em>x&lt;/em3 &lt;em>"},
      {"<u>x</u", "<u>x</u"},  // the end of the file ends the name
      // A tag cut at the line end.
      {"text <b\nmore</b>", "text <b\nmore</b>"},
      {"text <em\nmore", "text &lt;em\nmore"},
      {"a <br\n<P", "a <br\n<P"},
      // A comment counts only when "-->" begins after its fourth byte.
      {"<!-- open\nno close", "&lt;!-- open\nno close"},
      {"--> <!-- late", "--> &lt;!-- late"},
      {"<!--->", "&lt;!--->"},
      {"<!-->", "&lt;!-->"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Escaped(c.text), c.expected) << c.text;
    // Read as a long line is, a window at a time, whatever the step.
    for (size_t step : {1, 2, 5}) EXPECT_EQ(Escaped(c.text, step), c.expected) << step << c.text;
  }
}

// In a line read in windows, a "<?" looks for its "?>" to the end of the
// line, and an end tag counts wherever the windows meet.
TEST(MarkupTest, ALongLineIsReadAsOneLine) {
  const std::string far = std::string(100, 'x');
  const std::string text = "<?x " + far + " ?> <?y " + far + "\n<b>" + far + "</b\n" + far;
  const std::string expected = "<?x " + far + " ?> &lt;?y " + far + "\n<b>" + far + "</b\n" + far;
  for (size_t step : {1, 7, 33, 1000}) EXPECT_EQ(Escaped(text, step), expected) << step;
}

}  // namespace
}  // namespace input

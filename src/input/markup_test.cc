#include "input/markup.h"

#include <gtest/gtest.h>

namespace input {
namespace {

// The text with each "<" that does not begin markup written "&lt;": a first
// pass over its lines, then each line escaped, as the conversion does.
std::string Escaped(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t from = 0;;) {
    size_t end = text.find('\n', from);
    lines.push_back(text.substr(from, end - from));
    if (end == std::string_view::npos) break;
    from = end + 1;
  }
  MarkupRule rule;
  uint64_t start = 0;
  for (std::string_view line : lines) {
    rule.Record(line, start);
    start += line.size() + 1;
  }
  std::string out;
  start = 0;
  for (std::string_view line : lines) {
    if (start > 0) out += '\n';
    rule.Escape(line, start, &out);
    start += line.size() + 1;
  }
  return out;
}

TEST(MarkupRuleTest, KeepsMarkupAndWritesOtherAngleBracketsAsText) {
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
      {"<!DOCTYPE html> <!doctype> <![CDATA[x]]> <?xml v?> <?\?>",
       "<!DOCTYPE html> <!doctype> <![CDATA[x]]> <?xml v?> <?\?>"},
      {"<!-- note -->", "<!-- note -->"},
      {"<!-- note\nstill -->", "<!-- note\nstill -->"},
      {"<!---->", "<!---->"},
      {"x</p> </td", "x</p> </td"},  // an end tag needs no start tag
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
  for (const Case& c : cases) EXPECT_EQ(Escaped(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace input

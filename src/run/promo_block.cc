#include "run/promo_block.h"

#include <array>
#include <string>
#include <string_view>

#include "common/constants.h"

namespace runctx {
namespace {

std::string LinkLine(std::string_view address) {
  return "<br> <a href=\"" + std::string(address) + "\">" + std::string(address) + "</a>";
}

}  // namespace

std::vector<std::string> PromoBlockLines() {
  constexpr std::array<std::string_view, 15> kText = {
      "<br>",
      "<br> <b> PROMOTE YOUR BRAND WITH OUR PROGRAMS </b>",
      "<br>",
      "<br> Our programs are intended for companis who want to consolidate their brand "
      "through free distribution of the programs.",
      "<br> Advertising messages and search links in the programs are tailored to each "
      "customer individually.",
      "<br>",
      "<br> PLACEMENT OF ADVERTISING MESSAGES",
      "<br> The programs read advertising messages from the web address specified by the "
      "buyer when ordering.",
      "<br> Advertisement messages are placed in the all-words index and other output files.",
      "<br>",
      "<br> GOOGLE SEARCH PHRASES",
      "<br> The programs generate Google search strings for all words in the all-words index "
      "and target the web address specified by the buyer when ordering.",
      "<br>",
      "<br> Remember: the all-words index file is accessible while reading output file, just "
      "by double-clicking on any word.",
      "<br> More info at:",
  };
  std::vector<std::string> lines(kText.begin(), kText.end());
  lines.push_back(LinkLine(common::kMakerSite));
  lines.push_back(LinkLine(common::kMakerProductSite));
  lines.push_back("<br>");
  return lines;
}

}  // namespace runctx

// Values fixed when the program is built (besides the program name, which
// CMake passes to main).
#pragma once

#include <string_view>

namespace common {

inline constexpr std::string_view kMakerSite = "https://www.example.org";
inline constexpr std::string_view kMakerProductSite = "https://www.example.org/indexer";
/// A literal, so that the links to it are copied with a size known when
/// compiled.
inline constexpr char kSearchEngine[] = "https://www.google.com";
/// The example shown at the targeted-search prompt.
inline constexpr std::string_view kPromptExample = "www.example.org";
/// The examples of the rename instructions.
inline constexpr std::string_view kRenameExampleWww = "www.example.com";
inline constexpr std::string_view kRenameExampleHttp = "http.example.com";
inline constexpr std::string_view kRenameExampleHttps = "https.example.com";

}  // namespace common

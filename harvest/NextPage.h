#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qb {

// The class token of a result page's link to its next page.
inline constexpr std::string_view kNextPageToken = "pagination__next";

// The href of the page's next-page link: the first a element with the class
// token pagination__next that has an href and is not aria-disabled="true";
// character references decoded and surrounding white space trimmed, as written
// otherwise (the caller resolves it against the page's address). None when
// no such link is on the page.
std::optional<std::string> NextPageHref(std::string_view page);

}  // namespace qb

#include "harvest/NextPage.h"

#include "harvest/ByteSearch.h"
#include "harvest/HtmlTokenizer.h"

namespace qb {

namespace {

std::string_view TrimHtmlSpace(std::string_view text) {
  while (!text.empty() && IsHtmlSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsHtmlSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string> NextPageHref(std::string_view page) {
  // Most pages have no such link: one search rules them out.
  if (FindIn(page, kNextPageToken) == npos) return std::nullopt;
  HtmlTokenizer tokens(page);
  for (HtmlTokenizer::Kind kind; (kind = tokens.Next()) != HtmlTokenizer::Kind::kEnd;) {
    if (kind != HtmlTokenizer::Kind::kStartTag || !EqualsAsciiFolded(tokens.Name(), "a")) continue;
    if (!HasClassToken(tokens.AttributeValue("class"), kNextPageToken)) continue;
    bool hasHref = false;
    const std::string_view href = tokens.AttributeValue("href", &hasHref);
    if (!hasHref || EqualsAsciiFolded(TrimHtmlSpace(tokens.AttributeValue("aria-disabled")), "true"))
      continue;
    return std::string(TrimHtmlSpace(DecodeHtmlReferences(href)));
  }
  return std::nullopt;
}

}  // namespace qb

#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

// HTML markup read in one linear pass: start tags with their attributes
// (quoted, unquoted or bare), end tags and text. Comments, doctypes and
// processing instructions are dropped; the raw text of script, style and the
// like is skipped. A tag left open at the end of the page is dropped, as
// browsers do. Texts and attribute values are raw: character references stay
// as written (AppendCollapsedText and DecodeHtmlReferences decode them).
class HtmlTokenizer {
 public:
  enum class Kind { kStartTag, kEndTag, kText, kEnd };

  struct Attribute {
    std::string_view name;  // as written
    std::string_view value;
  };

  explicit HtmlTokenizer(std::string_view page) : FPage(page) {}

  // The next token; kEnd at the end of the page (and ever after).
  Kind Next();

  // Of the last token: the tag name as written (start and end tags), or the text.
  std::string_view Name() const { return FName; }
  std::string_view Text() const { return FText; }
  bool SelfClosing() const { return FSelfClosing; }
  // Of the last start tag.
  const std::vector<Attribute>& Attributes() const { return FAttributes; }
  // The value of the first attribute of that name (ASCII letter case ignored);
  // found tells whether there was one.
  std::string_view AttributeValue(std::string_view name, bool* found = nullptr) const;

  size_t Offset() const { return FPos; }

 private:
  // The tag name that starts at nameStart: up to white space, '/' or '>'.
  std::string_view TagName(size_t nameStart) const;
  Kind StartTag(size_t nameStart);
  Kind EndTag(size_t nameStart);
  void SkipRawText();

  std::string_view FPage;
  size_t FPos = 0;
  std::string_view FName;
  std::string_view FText;
  bool FSelfClosing = false;
  std::vector<Attribute> FAttributes;
  std::string_view FRawTextEnd;  // the element whose raw text follows the last start tag
};

// Appends text to out with character references decoded (named, decimal and
// hexadecimal; unknown ones stay as written) and comments left out by the
// tokenizer already. Every run of white space, no-break spaces included,
// becomes one blank; blank runs at the joins of appended texts merge too.
void AppendCollapsedText(std::string_view text, std::string& out);

// The text with its character references decoded, nothing else changed.
std::string DecodeHtmlReferences(std::string_view text);

// out without its leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);

// True when the class list holds the token (exact, or ASCII letter case
// ignored when foldCase is set).
bool HasClassToken(std::string_view classList, std::string_view token, bool foldCase = false);

// HTML white space: what separates attributes and class tokens.
inline bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The class token that starts at or after i, empty when none is left; i moves
// past it.
inline std::string_view NextClassToken(std::string_view classList, size_t& i) {
  while (i < classList.size() && IsHtmlSpace(classList[i])) ++i;
  const size_t start = i;
  while (i < classList.size() && !IsHtmlSpace(classList[i])) ++i;
  return classList.substr(start, i - start);
}

}  // namespace qb

#include "harvest/HtmlTokenizer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "harvest/ByteSearch.h"
#include "runtime/AsciiText.h"
#include "runtime/Utf8.h"

namespace qb {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Elements whose content is raw text up to their end tag.
bool IsRawTextElement(std::string_view name) {
  static constexpr std::string_view kNames[] = {"script", "style",   "textarea", "title",   "xmp",
                                                "iframe", "noembed", "noframes", "noscript"};
  for (const std::string_view raw : kNames)
    if (EqualsAsciiFolded(name, raw)) return true;
  return false;
}

struct Entity {
  std::string_view name;
  uint32_t code;
};

// The named references of HTML 4 and &apos;, sorted by name.
constexpr Entity kEntities[] = {
    {"AElig", 0xC6},     {"Aacute", 0xC1},   {"Acirc", 0xC2},    {"Agrave", 0xC0},   {"Alpha", 0x391},
    {"Aring", 0xC5},     {"Atilde", 0xC3},   {"Auml", 0xC4},     {"Beta", 0x392},    {"Ccedil", 0xC7},
    {"Chi", 0x3A7},      {"Dagger", 0x2021}, {"Delta", 0x394},   {"ETH", 0xD0},      {"Eacute", 0xC9},
    {"Ecirc", 0xCA},     {"Egrave", 0xC8},   {"Epsilon", 0x395}, {"Eta", 0x397},     {"Euml", 0xCB},
    {"Gamma", 0x393},    {"Iacute", 0xCD},   {"Icirc", 0xCE},    {"Igrave", 0xCC},   {"Iota", 0x399},
    {"Iuml", 0xCF},      {"Kappa", 0x39A},   {"Lambda", 0x39B},  {"Mu", 0x39C},      {"Ntilde", 0xD1},
    {"Nu", 0x39D},       {"OElig", 0x152},   {"Oacute", 0xD3},   {"Ocirc", 0xD4},    {"Ograve", 0xD2},
    {"Omega", 0x3A9},    {"Omicron", 0x39F}, {"Oslash", 0xD8},   {"Otilde", 0xD5},   {"Ouml", 0xD6},
    {"Phi", 0x3A6},      {"Pi", 0x3A0},      {"Prime", 0x2033},  {"Psi", 0x3A8},     {"Rho", 0x3A1},
    {"Scaron", 0x160},   {"Sigma", 0x3A3},   {"THORN", 0xDE},    {"Tau", 0x3A4},     {"Theta", 0x398},
    {"Uacute", 0xDA},    {"Ucirc", 0xDB},    {"Ugrave", 0xD9},   {"Upsilon", 0x3A5}, {"Uuml", 0xDC},
    {"Xi", 0x39E},       {"Yacute", 0xDD},   {"Yuml", 0x178},    {"Zeta", 0x396},    {"aacute", 0xE1},
    {"acirc", 0xE2},     {"acute", 0xB4},    {"aelig", 0xE6},    {"agrave", 0xE0},   {"alefsym", 0x2135},
    {"alpha", 0x3B1},    {"amp", 0x26},      {"and", 0x2227},    {"ang", 0x2220},    {"apos", 0x27},
    {"aring", 0xE5},     {"asymp", 0x2248},  {"atilde", 0xE3},   {"auml", 0xE4},     {"bdquo", 0x201E},
    {"beta", 0x3B2},     {"brvbar", 0xA6},   {"bull", 0x2022},   {"cap", 0x2229},    {"ccedil", 0xE7},
    {"cedil", 0xB8},     {"cent", 0xA2},     {"chi", 0x3C7},     {"circ", 0x2C6},    {"clubs", 0x2663},
    {"cong", 0x2245},    {"copy", 0xA9},     {"crarr", 0x21B5},  {"cup", 0x222A},    {"curren", 0xA4},
    {"dArr", 0x21D3},    {"dagger", 0x2020}, {"darr", 0x2193},   {"deg", 0xB0},      {"delta", 0x3B4},
    {"diams", 0x2666},   {"divide", 0xF7},   {"eacute", 0xE9},   {"ecirc", 0xEA},    {"egrave", 0xE8},
    {"empty", 0x2205},   {"emsp", 0x2003},   {"ensp", 0x2002},   {"epsilon", 0x3B5}, {"equiv", 0x2261},
    {"eta", 0x3B7},      {"eth", 0xF0},      {"euml", 0xEB},     {"euro", 0x20AC},   {"exist", 0x2203},
    {"fnof", 0x192},     {"forall", 0x2200}, {"frac12", 0xBD},   {"frac14", 0xBC},   {"frac34", 0xBE},
    {"frasl", 0x2044},   {"gamma", 0x3B3},   {"ge", 0x2265},     {"gt", 0x3E},       {"hArr", 0x21D4},
    {"harr", 0x2194},    {"hearts", 0x2665}, {"hellip", 0x2026}, {"iacute", 0xED},   {"icirc", 0xEE},
    {"iexcl", 0xA1},     {"igrave", 0xEC},   {"image", 0x2111},  {"infin", 0x221E},  {"int", 0x222B},
    {"iota", 0x3B9},     {"iquest", 0xBF},   {"isin", 0x2208},   {"iuml", 0xEF},     {"kappa", 0x3BA},
    {"lArr", 0x21D0},    {"lambda", 0x3BB},  {"lang", 0x2329},   {"laquo", 0xAB},    {"larr", 0x2190},
    {"lceil", 0x2308},   {"ldquo", 0x201C},  {"le", 0x2264},     {"lfloor", 0x230A}, {"lowast", 0x2217},
    {"loz", 0x25CA},     {"lrm", 0x200E},    {"lsaquo", 0x2039}, {"lsquo", 0x2018},  {"lt", 0x3C},
    {"macr", 0xAF},      {"mdash", 0x2014},  {"micro", 0xB5},    {"middot", 0xB7},   {"minus", 0x2212},
    {"mu", 0x3BC},       {"nabla", 0x2207},  {"nbsp", 0xA0},     {"ndash", 0x2013},  {"ne", 0x2260},
    {"ni", 0x220B},      {"not", 0xAC},      {"notin", 0x2209},  {"nsub", 0x2284},   {"ntilde", 0xF1},
    {"nu", 0x3BD},       {"oacute", 0xF3},   {"ocirc", 0xF4},    {"oelig", 0x153},   {"ograve", 0xF2},
    {"oline", 0x203E},   {"omega", 0x3C9},   {"omicron", 0x3BF}, {"oplus", 0x2295},  {"or", 0x2228},
    {"ordf", 0xAA},      {"ordm", 0xBA},     {"oslash", 0xF8},   {"otilde", 0xF5},   {"otimes", 0x2297},
    {"ouml", 0xF6},      {"para", 0xB6},     {"part", 0x2202},   {"permil", 0x2030}, {"perp", 0x22A5},
    {"phi", 0x3C6},      {"pi", 0x3C0},      {"piv", 0x3D6},     {"plusmn", 0xB1},   {"pound", 0xA3},
    {"prime", 0x2032},   {"prod", 0x220F},   {"prop", 0x221D},   {"psi", 0x3C8},     {"quot", 0x22},
    {"rArr", 0x21D2},    {"radic", 0x221A},  {"rang", 0x232A},   {"raquo", 0xBB},    {"rarr", 0x2192},
    {"rceil", 0x2309},   {"rdquo", 0x201D},  {"real", 0x211C},   {"reg", 0xAE},      {"rfloor", 0x230B},
    {"rho", 0x3C1},      {"rlm", 0x200F},    {"rsaquo", 0x203A}, {"rsquo", 0x2019},  {"sbquo", 0x201A},
    {"scaron", 0x161},   {"sdot", 0x22C5},   {"sect", 0xA7},     {"shy", 0xAD},      {"sigma", 0x3C3},
    {"sigmaf", 0x3C2},   {"sim", 0x223C},    {"spades", 0x2660}, {"sub", 0x2282},    {"sube", 0x2286},
    {"sum", 0x2211},     {"sup", 0x2283},    {"sup1", 0xB9},     {"sup2", 0xB2},     {"sup3", 0xB3},
    {"supe", 0x2287},    {"szlig", 0xDF},    {"tau", 0x3C4},     {"there4", 0x2234}, {"theta", 0x3B8},
    {"thetasym", 0x3D1}, {"thinsp", 0x2009}, {"thorn", 0xFE},    {"tilde", 0x2DC},   {"times", 0xD7},
    {"trade", 0x2122},   {"uArr", 0x21D1},   {"uacute", 0xFA},   {"uarr", 0x2191},   {"ucirc", 0xFB},
    {"ugrave", 0xF9},    {"uml", 0xA8},      {"upsih", 0x3D2},   {"upsilon", 0x3C5}, {"uuml", 0xFC},
    {"weierp", 0x2118},  {"xi", 0x3BE},      {"yacute", 0xFD},   {"yen", 0xA5},      {"yuml", 0xFF},
    {"zeta", 0x3B6},     {"zwj", 0x200D},    {"zwnj", 0x200C},
};

uint32_t NamedEntity(std::string_view name) {
  const auto it = std::lower_bound(std::begin(kEntities), std::end(kEntities), name,
                                   [](const Entity& e, std::string_view n) { return e.name < n; });
  return it != std::end(kEntities) && it->name == name ? it->code : 0;
}

// A code point HTML cannot carry becomes U+FFFD.
void AppendCodePoint(uint32_t code, std::string& out) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  AppendUtf8(out, code);
}

// The code point of the reference at text[at] == '&', and its length; 0 when
// none is there. Numeric references may lack their semicolon; named ones need it.
uint32_t ReadReference(std::string_view text, size_t at, size_t& length) {
  size_t i = at + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const size_t digits = i;
    uint32_t code = 0;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      int d;
      if (c >= '0' && c <= '9') {
        d = c - '0';
      } else if (hex && c >= 'a' && c <= 'f') {
        d = c - 'a' + 10;
      } else if (hex && c >= 'A' && c <= 'F') {
        d = c - 'A' + 10;
      } else {
        break;
      }
      code = code > 0x10FFFF ? code : code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
    }
    if (i == digits) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    length = i - at;
    return code == 0 ? 0xFFFD : code;
  }
  const size_t nameStart = i;
  while (i < text.size() && i - nameStart < 10 &&
         (IsAsciiLetter(text[i]) || (text[i] >= '0' && text[i] <= '9')))
    ++i;
  if (i == nameStart || i >= text.size() || text[i] != ';') return 0;
  const uint32_t code = NamedEntity(text.substr(nameStart, i - nameStart));
  if (code) length = i + 1 - at;
  return code;
}

}  // namespace

bool HasClassToken(std::string_view classList, std::string_view token, bool foldCase) {
  size_t i = 0;
  while (i < classList.size()) {
    const std::string_view candidate = NextClassToken(classList, i);
    if (foldCase ? EqualsAsciiFolded(candidate, token) : candidate == token) return true;
  }
  return false;
}

std::string_view HtmlTokenizer::AttributeValue(std::string_view name, bool* found) const {
  for (const Attribute& a : FAttributes) {
    if (EqualsAsciiFolded(a.name, name)) {
      if (found) *found = true;
      return a.value;
    }
  }
  if (found) *found = false;
  return {};
}

HtmlTokenizer::Kind HtmlTokenizer::Next() {
  const size_t size = FPage.size();
  if (!FRawTextEnd.empty()) SkipRawText();
  while (FPos < size) {
    const char* data = FPage.data();
    if (data[FPos] != '<') {
      const void* lt = std::memchr(data + FPos, '<', size - FPos);
      const size_t end = lt ? static_cast<size_t>(static_cast<const char*>(lt) - data) : size;
      FText = FPage.substr(FPos, end - FPos);
      FPos = end;
      return Kind::kText;
    }
    const size_t at = FPos;
    const char next = at + 1 < size ? data[at + 1] : '\0';
    if (IsAsciiLetter(next)) return StartTag(at + 1);
    if (next == '/') {
      if (at + 2 < size && IsAsciiLetter(data[at + 2])) return EndTag(at + 2);
      // "</>" is dropped, "</ ..." is a bogus comment up to '>'.
      const size_t gt = FindIn(FPage, ">", at + 2);
      FPos = gt == npos ? size : gt + 1;
      continue;
    }
    if (next == '!') {
      if (FPage.substr(at + 2, 2) == "--") {
        // "<!-->" and "<!--->" end at once.
        size_t from = at + 4;
        if (from < size && data[from] == '>') {
          FPos = from + 1;
          continue;
        }
        if (from + 1 < size && data[from] == '-' && data[from + 1] == '>') {
          FPos = from + 2;
          continue;
        }
        const size_t close = FindIn(FPage, "-->", from);
        FPos = close == npos ? size : close + 3;
        continue;
      }
      const size_t gt = FindIn(FPage, ">", at + 2);
      FPos = gt == npos ? size : gt + 1;
      continue;
    }
    if (next == '?') {
      const size_t gt = FindIn(FPage, ">", at + 2);
      FPos = gt == npos ? size : gt + 1;
      continue;
    }
    // A '<' that starts no tag is text; it runs up to the next '<'.
    const void* lt = at + 1 < size ? std::memchr(data + at + 1, '<', size - at - 1) : nullptr;
    const size_t end = lt ? static_cast<size_t>(static_cast<const char*>(lt) - data) : size;
    FText = FPage.substr(at, end - at);
    FPos = end;
    return Kind::kText;
  }
  FText = {};
  FName = {};
  return Kind::kEnd;
}

std::string_view HtmlTokenizer::TagName(size_t nameStart) const {
  const size_t size = FPage.size();
  const char* data = FPage.data();
  size_t i = nameStart;
  while (i < size && !IsHtmlSpace(data[i]) && data[i] != '/' && data[i] != '>') ++i;
  return FPage.substr(nameStart, i - nameStart);
}

HtmlTokenizer::Kind HtmlTokenizer::StartTag(size_t nameStart) {
  const std::string_view name = TagName(nameStart);
  size_t i = nameStart + name.size();
  const size_t size = FPage.size();
  const char* data = FPage.data();
  FAttributes.clear();
  FSelfClosing = false;
  for (;;) {
    while (i < size && (IsHtmlSpace(data[i]) || data[i] == '/')) {
      FSelfClosing = data[i] == '/';
      ++i;
    }
    if (i >= size) {
      FPos = size;  // the tag never ends: dropped
      return Next();
    }
    if (data[i] == '>') {
      ++i;
      break;
    }
    FSelfClosing = false;
    const size_t attrStart = i++;  // a first '=' belongs to the name
    while (i < size && !IsHtmlSpace(data[i]) && data[i] != '/' && data[i] != '>' && data[i] != '=') ++i;
    Attribute attribute{FPage.substr(attrStart, i - attrStart), {}};
    size_t j = i;
    while (j < size && IsHtmlSpace(data[j])) ++j;
    if (j < size && data[j] == '=') {
      ++j;
      while (j < size && IsHtmlSpace(data[j])) ++j;
      if (j < size && (data[j] == '"' || data[j] == '\'')) {
        const void* close = std::memchr(data + j + 1, data[j], size - j - 1);
        if (!close) {
          FPos = size;
          return Next();
        }
        const size_t end = static_cast<size_t>(static_cast<const char*>(close) - data);
        attribute.value = FPage.substr(j + 1, end - j - 1);
        i = end + 1;
      } else {
        const size_t valueStart = j;
        while (j < size && !IsHtmlSpace(data[j]) && data[j] != '>') ++j;
        attribute.value = FPage.substr(valueStart, j - valueStart);
        i = j;
      }
    }
    FAttributes.push_back(attribute);
  }
  FPos = i;
  FName = name;
  FText = {};
  if (IsRawTextElement(name)) FRawTextEnd = name;
  return Kind::kStartTag;
}

HtmlTokenizer::Kind HtmlTokenizer::EndTag(size_t nameStart) {
  const std::string_view name = TagName(nameStart);
  size_t i = nameStart + name.size();
  const size_t size = FPage.size();
  const char* data = FPage.data();
  // Attributes of an end tag are read past (quoted values may hold '>').
  while (i < size && data[i] != '>') {
    if (data[i] == '"' || data[i] == '\'') {
      const void* close = std::memchr(data + i + 1, data[i], size - i - 1);
      if (!close) {
        i = size;
        break;
      }
      i = static_cast<size_t>(static_cast<const char*>(close) - data);
    }
    ++i;
  }
  if (i >= size) {
    FPos = size;
    return Next();
  }
  FPos = i + 1;
  FName = name;
  FText = {};
  FAttributes.clear();
  return Kind::kEndTag;
}

void HtmlTokenizer::SkipRawText() {
  const std::string_view element = FRawTextEnd;
  FRawTextEnd = {};
  for (size_t from = FPos;;) {
    const size_t close = FindIn(FPage, "</", from);
    if (close == npos) {
      FPos = FPage.size();
      return;
    }
    const size_t after = close + 2 + element.size();
    if (after <= FPage.size() && EqualsAsciiFolded(FPage.substr(close + 2, element.size()), element) &&
        (after == FPage.size() || IsHtmlSpace(FPage[after]) || FPage[after] == '/' || FPage[after] == '>')) {
      FPos = close;
      return;
    }
    from = close + 2;
  }
}

void AppendCollapsedText(std::string_view text, std::string& out) {
  bool blank = !out.empty() && out.back() == ' ';
  auto appendBlank = [&] {
    if (!blank) out += ' ';
    blank = true;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsHtmlSpace(c)) {
      appendBlank();
      continue;
    }
    if (c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
      appendBlank();
      ++i;
      continue;
    }
    if (c == '&') {
      size_t length = 0;
      const uint32_t code = ReadReference(text, i, length);
      if (code) {
        if (code == 0xA0 || code == ' ' || code == '\t' || code == '\n' || code == '\r' || code == '\f') {
          appendBlank();
        } else {
          AppendCodePoint(code, out);
          blank = false;
        }
        i += length - 1;
        continue;
      }
    }
    out += c;
    blank = false;
  }
}

std::string DecodeHtmlReferences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    size_t length = 0;
    const uint32_t code = text[i] == '&' ? ReadReference(text, i, length) : 0;
    if (code) {
      AppendCodePoint(code, out);
      i += length - 1;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace qb

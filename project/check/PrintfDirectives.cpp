#include "project/check/PrintfDirectives.h"

#include <algorithm>
#include <map>

namespace velmora {

namespace {

constexpr std::string_view kFlagChars = "-+ #0'I";
constexpr std::string_view kConversions = "diouxXeEfFgGaAcsCSpnm%";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads "digits$" at i; returns the number and moves i past the '$', or 0
// leaving i where it was.
int ReadArgNumber(std::string_view s, size_t& i) {
  size_t j = i;
  int n = 0;
  while (j < s.size() && IsDigit(s[j]) && n < 100000) n = n * 10 + (s[j++] - '0');
  if (j == i || j >= s.size() || s[j] != '$' || n == 0) return 0;
  i = j + 1;
  return n;
}

// A width or precision at i: "*", "*n$" or digits.
std::string ReadAmount(std::string_view s, size_t& i) {
  const size_t start = i;
  if (i < s.size() && s[i] == '*') {
    ++i;
    ReadArgNumber(s, i);
  } else {
    while (i < s.size() && IsDigit(s[i])) ++i;
  }
  return std::string(s.substr(start, i - start));
}

std::string ReadLength(std::string_view s, size_t& i) {
  for (std::string_view m : {"hh", "ll", "h", "l", "L", "q", "j", "z", "Z", "t"}) {
    if (s.substr(i, m.size()) == m) {
      i += m.size();
      return std::string(m);
    }
  }
  return {};
}

// The argument a conversion reads with its length modifier; "" for none.
std::string ArgumentType(char conversion, const std::string& length) {
  static const std::map<std::string, std::string> kSigned = {
      {"", "int"},         {"hh", "signed char"}, {"h", "short"},       {"l", "long"},
      {"ll", "long long"}, {"q", "long long"},    {"L", "long long"},   {"j", "intmax_t"},
      {"z", "ssize_t"},    {"Z", "ssize_t"},      {"t", "ptrdiff_t"}};
  static const std::map<std::string, std::string> kUnsigned = {
      {"", "unsigned int"},         {"hh", "unsigned char"},      {"h", "unsigned short"},
      {"l", "unsigned long"},       {"ll", "unsigned long long"}, {"q", "unsigned long long"},
      {"L", "unsigned long long"},  {"j", "uintmax_t"},           {"z", "size_t"},
      {"Z", "size_t"},              {"t", "ptrdiff_t"}};
  switch (conversion) {
    case 'd': case 'i': return kSigned.at(length);
    case 'o': case 'u': case 'x': case 'X': return kUnsigned.at(length);
    case 'e': case 'E': case 'f': case 'F': case 'g': case 'G': case 'a': case 'A':
      return length == "L" ? "long double" : "double";
    case 'c': return length == "l" ? "wint_t" : "int (a character)";
    case 'C': return "wint_t";
    case 's': return length == "l" ? "wchar_t *" : "char *";
    case 'S': return "wchar_t *";
    case 'p': return "void *";
    case 'n': return kSigned.at(length) + " *";
    default: return "";  // '%' and 'm' read nothing
  }
}

// The argument number of a star amount "*n$", or 0.
int StarNumber(const std::string& amount) {
  if (amount.size() < 3 || amount[0] != '*') return 0;
  size_t i = 1;
  return ReadArgNumber(amount, i);
}

}  // namespace

std::vector<PrintfDirective> ParsePrintf(std::string_view s) {
  std::vector<PrintfDirective> out;
  size_t i = s.find('%');
  while (i != std::string_view::npos) {
    PrintfDirective d;
    d.Offset = i;
    size_t j = i + 1;
    d.Position = ReadArgNumber(s, j);
    while (j < s.size() && kFlagChars.find(s[j]) != std::string_view::npos) d.Flags += s[j++];
    d.Width = ReadAmount(s, j);
    if (j < s.size() && s[j] == '.') {
      ++j;
      d.HasPrecision = true;
      d.Precision = ReadAmount(s, j);
    }
    d.Length = ReadLength(s, j);
    if (j < s.size() && s[j] != '\0' && kConversions.find(s[j]) != std::string_view::npos) {
      d.Conversion = s[j];
      d.Text = std::string(s.substr(i, j + 1 - i));
      out.push_back(std::move(d));
      i = s.find('%', j + 1);
    } else {
      PrintfDirective bad;
      bad.Offset = i;
      bad.Text = "%";
      bad.Valid = false;
      out.push_back(std::move(bad));
      i = s.find('%', i + 1);
    }
  }
  return out;
}

PrintfArguments PrintfArgumentsOf(std::string_view text) {
  PrintfArguments a;
  std::map<int, PrintfArgument> byNumber;
  bool sequential = false;
  auto add = [&](int number, std::string type, const std::string& directive) {
    if (number > 0) {
      byNumber.emplace(number, PrintfArgument{std::move(type), directive});
    } else {
      sequential = true;
      a.Arguments.push_back({std::move(type), directive});
    }
  };
  for (const PrintfDirective& d : ParsePrintf(text)) {
    if (!d.Valid) {
      a.Invalid.push_back(d.Text);
      continue;
    }
    if (d.Conversion == '%') {
      a.Literal = true;
      continue;
    }
    if (d.Position > 0) a.Positional = true;
    if (!d.Width.empty() && d.Width[0] == '*') add(d.Position ? StarNumber(d.Width) : 0, "int", d.Text);
    if (d.HasPrecision && !d.Precision.empty() && d.Precision[0] == '*')
      add(d.Position ? StarNumber(d.Precision) : 0, "int", d.Text);
    const std::string type = ArgumentType(d.Conversion, d.Length);
    if (!type.empty()) add(d.Position, type, d.Text);
  }
  if (a.Positional) {
    a.Mixed = sequential;
    const int last = byNumber.empty() ? 0 : byNumber.rbegin()->first;
    std::vector<PrintfArgument> numbered(static_cast<size_t>(last));
    for (auto& [n, arg] : byNumber) numbered[static_cast<size_t>(n - 1)] = std::move(arg);
    for (int n = 1; n <= last; ++n)
      if (numbered[static_cast<size_t>(n - 1)].Type.empty()) a.Gaps.push_back(std::to_string(n));
    a.Arguments = std::move(numbered);
  }
  return a;
}

bool IsPrintfFormat(std::string_view text) {
  const PrintfArguments a = PrintfArgumentsOf(text);
  return a.Invalid.empty() && a.Any();
}

}  // namespace velmora

// The printf directives of a text as the unit's own program reads them:
// "%d km", "Version %s of %d", "ETA %02d:%02d", "%1$s". Each directive
// with its flags, width, precision, length modifier and conversion, and the
// arguments it makes printf read.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct PrintfDirective {
  size_t Offset = 0;          // of the '%' in the text
  std::string Text;           // the directive as written: "%-5.2ld"
  int Position = 0;           // n of "%n$...", 0 when not positional
  std::string Flags;          // "-+ #0'I" characters, in the order written
  std::string Width;          // digits, "*" or "*n$"; empty when none
  std::string Precision;      // after the '.': digits, "*" or "*n$"; "" for a bare '.'
  bool HasPrecision = false;
  std::string Length;         // "hh", "h", "l", "ll", "L", "q", "j", "z", "Z", "t"
  char Conversion = 0;        // 'd', 's', ... ; '%' for a literal percent
  bool Valid = true;          // false: a '%' that starts no directive
};

// The directives of a text in order, "%%" included (conversion '%'). A '%'
// that does not start a complete directive is listed with Valid false and
// covers only itself.
std::vector<PrintfDirective> ParsePrintf(std::string_view text);

// The kind of value one argument must be, for comparing two texts: "int",
// "long int", "unsigned long long", "double", "long double", "char *", ...
// Width and precision stars read an "int".
struct PrintfArgument {
  std::string Type;
  std::string Directive;  // the directive that reads it, for messages
};

// How a text's directives read their arguments.
struct PrintfArguments {
  bool Positional = false;         // some directive names its argument ("%2$s")
  bool Mixed = false;              // positional and sequential directives together
  std::vector<std::string> Gaps;   // positional argument numbers no directive reads
  // The arguments in the order printf reads them (by number when positional);
  // an argument that no directive reads has an empty Type.
  std::vector<PrintfArgument> Arguments;
  std::vector<std::string> Invalid;  // '%' signs that start no directive, as written
  bool Literal = false;              // the text holds "%%"
  bool Any() const { return !Arguments.empty() || Literal; }
};
PrintfArguments PrintfArgumentsOf(std::string_view text);

// True when the text reads as a printf format: it holds a directive ("%%"
// included) and no '%' that starts none. The PO export flags such texts
// c-format, and texts with a '%' that is not a format no-c-format.
bool IsPrintfFormat(std::string_view text);

}  // namespace velmora

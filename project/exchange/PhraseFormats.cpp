// The registry of phrase-file formats and the helpers that read and write a
// file in one of them.
#include "project/exchange/PhraseFormat.h"

#include "container/io/Stream.h"
#include "container/io/AtomicFile.h"
#include "container/io/StreamErrors.h"
#include "project/exchange/FormatList.h"

namespace velmora {

const std::vector<const PhraseFormat*>& PhraseFormats() {
  static const std::vector<const PhraseFormat*> formats{&TextFileFormat(), &PoFileFormat(), &XliffFileFormat()};
  return formats;
}

std::string PhraseFormatNames() {
  std::string names;
  for (const PhraseFormat* f : PhraseFormats()) {
    if (!names.empty()) names += "|";
    names.append(f->ShortName());
  }
  return names;
}

const PhraseFormat* FindPhraseFormat(std::string_view shortName) {
  for (const PhraseFormat* f : PhraseFormats())
    if (f->ShortName() == shortName) return f;
  return nullptr;
}

const PhraseFormat& PhraseFormatForOutput(std::string_view path) {
  for (const PhraseFormat* f : PhraseFormats())
    if (f->HasExtension(path)) return *f;
  return TextFileFormat();
}

const PhraseFormat& PhraseFormatForInput(std::string_view path, std::string_view head) {
  for (const PhraseFormat* f : PhraseFormats())
    if (f->HasExtension(path)) return *f;
  for (const PhraseFormat* f : PhraseFormats())
    if (f->LooksLike(head)) return *f;
  return TextFileFormat();
}

std::vector<DialogFilter> PhraseDialogFilters(PhraseFormat::Capability use) {
  std::vector<DialogFilter> filters;
  for (const PhraseFormat* f : PhraseFormats()) {
    if (!(f->Capabilities() & use)) continue;
    for (DialogFilter& d : f->DialogFilters(use)) filters.push_back(std::move(d));
  }
  return filters;
}

bool PathHasExtension(std::string_view path, std::initializer_list<std::string_view> extensions) {
  const size_t slash = path.find_last_of("/\\");
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view ext = name.substr(dot + 1);
  for (const std::string_view e : extensions) {
    if (e.size() != ext.size()) continue;
    bool same = true;
    for (size_t i = 0; i < e.size() && same; ++i) {
      char c = ext[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      same = c == e[i];
    }
    if (same) return true;
  }
  return false;
}

void ExportPhraseFile(const PhraseFormat& format, const PhraseTable& table, const std::vector<int32_t>& rows,
                      const std::string& path, const ExchangeOptions& options) {
  const std::string bytes = format.Write(table, rows, options);
  WriteFileAtomically(path, bytes.data(), bytes.size());
}

std::string PhraseFileLimitText() {
  return "a phrase file may hold at most " + std::to_string(kMaxPhraseFileBytes >> 20) + " MB";
}

std::string ReadPhraseFile(const std::string& path) {
  return ReadBoundedFile(path, kMaxPhraseFileBytes, PhraseFileLimitText());
}

ImportReport ImportPhraseFile(const PhraseFormat* format, PhraseTable& table, const std::string& path,
                              const ExchangeOptions& options) {
  const std::string bytes = ReadPhraseFile(path);
  return ImportPhraseBytes(format, table, path, bytes, options);
}

ImportReport ImportPhraseBytes(const PhraseFormat* format, PhraseTable& table, const std::string& path,
                               std::string_view bytes, const ExchangeOptions& options) {
  if (!format) format = &PhraseFormatForInput(path, bytes.substr(0, kFormatHeadBytes));
  try {
    return format->Read(table, bytes, options);
  } catch (const EFormatError& e) {
    throw EFormatError(path + ": " + e.what());
  }
}

}  // namespace velmora

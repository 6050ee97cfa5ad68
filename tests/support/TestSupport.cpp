#include "support/TestSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velmora::test {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  WriteFile(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<std::string> OutputLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}
}  // namespace

CliResult RunCli(const std::vector<std::string>& args) { return RunCli(args, CliStreams{}); }

CliResult RunCli(const std::vector<std::string>& args, const CliStreams& streams) {
  TempDir io;
  const std::string outPath = streams.outputPath.empty() ? io.File("out") : streams.outputPath;
  const std::string errPath = streams.errorPath.empty() ? io.File("err") : streams.errorPath;
  const std::string inPath = io.File("in");
  WriteFile(inPath, streams.input);
  int pipeFds[2] = {-1, -1};
  if (streams.closedPipe) {
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    ::close(pipeFds[0]);  // the reader is gone before anything is written
  }
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int out = -1;
    if (streams.closedPipe) {
      out = pipeFds[1];
    } else {
      out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = ::open(inPath.c_str(), O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    std::string prog = VELMORA_CLI_PATH;
    argv.push_back(prog.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(prog.c_str(), argv.data());
    ::_exit(127);
  }
  if (streams.closedPipe) ::close(pipeFds[1]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  CliResult r;
  if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  if (!streams.closedPipe && streams.outputPath.empty()) r.out = Slurp(outPath);
  r.err = Slurp(errPath);
  return r;
}

ScopedVariable::ScopedVariable(const std::string& name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name.c_str())) saved_ = old;
  ::setenv(name.c_str(), value.c_str(), 1);
}

ScopedVariable::~ScopedVariable() {
  if (saved_) ::setenv(name_.c_str(), saved_->c_str(), 1);
  else ::unsetenv(name_.c_str());
}

bool WaitUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::string FileText(const std::string& path) { return Slurp(path); }

ScopedLocale::ScopedLocale(const std::map<std::string, std::string>& values) {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG"}) {
    const char* old = std::getenv(name);
    saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    ::unsetenv(name);
  }
  for (const auto& [name, value] : values) ::setenv(name.c_str(), value.c_str(), 1);
}

ScopedLocale::~ScopedLocale() {
  for (const auto& [name, value] : saved_) {
    if (value) ::setenv(name.c_str(), value->c_str(), 1);
    else ::unsetenv(name.c_str());
  }
}

}  // namespace velmora::test

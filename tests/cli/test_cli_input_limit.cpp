// import's standard input is held to the size limit of a phrase file, as a
// file named on the command line is, and a pipe that sends more is refused
// without being read to its end.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <vector>

#include "project/exchange/PhraseFormat.h"
#include "project/file/ProjectFile.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

struct Piped {
  int exitCode = -1;
  std::string err;
  uint64_t written = 0;  // bytes the pipe took before its reader went away
};

// Runs velmora-cli with a pipe as standard input into which `total` bytes,
// `line` repeated, are written for as long as the program reads them.
Piped RunWithPipedInput(const std::vector<std::string>& args, const std::string& line, uint64_t total,
                        const TempDir& dir) {
  const std::string errPath = dir.File("err"), outPath = dir.File("out");
  int fds[2];
  if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::close(fds[1]);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fds[0], 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::string prog = VELMORA_CLI_PATH;
    std::vector<std::string> copy = args;
    std::vector<char*> argv{prog.data()};
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(prog.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(fds[0]);
  // The reader stops early: its going away must end the writing, not the test.
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &old);
  std::string block;
  while (block.size() < (1u << 16)) block += line;
  Piped r;
  while (r.written < total) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), total - r.written));
    const ssize_t w = ::write(fds[1], block.data(), n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) break;
    r.written += static_cast<uint64_t>(w);
  }
  ::close(fds[1]);
  ::sigaction(SIGPIPE, &old, nullptr);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  const auto err = ReadFile(errPath);
  r.err.assign(err.begin(), err.end());
  return r;
}

TEST(CliInputLimit, StandardInputPastThePhraseFileLimitIsRefusedAsAFileIs) {
  TempDir dir;
  WriteFile(dir.File("APM.BIN"), sample::MakeDemoApmUnit());
  const std::string project = dir.File("p.vmprj");
  ASSERT_EQ(RunCli({"new", dir.File("APM.BIN"), "-o", project}).exitCode, 0);
  const auto before = ReadFile(project);
  // Every line is an entry that would apply: without the limit this input
  // would import.
  const std::string line = "0 = Strecke\r\n";

  // Twice the limit offered: the program stops reading one byte past it, so
  // the pipe takes little more than the limit and its own buffer.
  const Piped big = RunWithPipedInput({"import", project, "-"}, line, 2 * kMaxPhraseFileBytes, dir);
  EXPECT_EQ(big.exitCode, 1) << big.err;
  EXPECT_NE(big.err.find("standard input: the input holds more than " + std::to_string(kMaxPhraseFileBytes) +
                         " bytes; a phrase file may hold at most 64 MB"),
            std::string::npos)
      << big.err;
  EXPECT_LT(big.written, kMaxPhraseFileBytes + (8u << 20)) << "standard input was read past its limit";
  EXPECT_EQ(ReadFile(project), before);

  // A file of the same size is refused with the same kind of message.
  std::string text;
  while (text.size() <= kMaxPhraseFileBytes) text += line;
  WriteFile(dir.File("big.txt"), text);
  const auto file = RunCli({"import", project, dir.File("big.txt")});
  EXPECT_EQ(file.exitCode, 1) << file.err;
  EXPECT_NE(file.err.find(dir.File("big.txt") + ": the file holds " + std::to_string(text.size()) +
                          " bytes; a phrase file may hold at most 64 MB"),
            std::string::npos)
      << file.err;
  std::filesystem::remove(dir.File("big.txt"));

  // Up to the limit, standard input is read whole and imported.
  const Piped small = RunWithPipedInput({"import", project, "-"}, line, line.size() * 1000, dir);
  EXPECT_EQ(small.exitCode, 0) << small.err;
  EXPECT_EQ(small.written, line.size() * 1000);
  PhraseTable t;
  OpenProject(t, project);
  ASSERT_TRUE(t.HasEditedText(t.Phrases[0]));
  EXPECT_EQ(t.EditedText(t.Phrases[0]), "Strecke");
}

}  // namespace
}  // namespace velmora

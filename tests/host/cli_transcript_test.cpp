// The command line as a user's script sees it: the transcripts in tests/data/cli/ are run against
// the built program, as a real process, and its exit status, standard output and standard error
// must match them line for line. KORVEL_UPDATE_TRANSCRIPTS=1 rewrites the cases that differ with
// what the program does now; read the diff before committing it.
//
// A transcript is cases separated by blank lines; lines starting with # are comments.
//   $ [NAME=value ...] ARGS   the arguments after the program name, split at spaces ("quoted"
//                             words may hold spaces or be empty), after environment settings
//   % needs COMMAND           run the case only where the program offers COMMAND
//   % sh COMMAND              run COMMAND with /bin/sh in $TMP first (mkfifo, mknod, ln -s);
//                             a FIFO there has a reader while the program runs
//   % stdout PATH             standard output goes to PATH instead
//   < LINE                    a line of $TMP/week.json, written before the run
//   ? STATUS                  the exit status
//   > LINE, ! LINE            a line of standard output, of standard error (">" alone: empty)
//   >..., !...                any number of lines of that stream
//   = PATH DESCRIPTION        what the run left at PATH: missing, folder (then "=   NAME
//                             DESCRIPTION" for each entry), png/svg/pdf/json WxH, html,
//                             "link to T, " and what is at T, a FIFO with what it holds ...
// $TMP is a fresh folder for each case: the working folder and KORVEL_GROUP_CONTAINER. $EXAMPLES
// is examples/. Every run has LANG=en_US.UTF-8 and TZ=UTC and no other locale or zone variable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/cli/gallery_command.h"
#include "support/files.h"

extern char** environ;

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using korvel::testing::readFile;

const fs::path kFolder = fs::path(KORVEL_TEST_DATA_DIR) / "cli";
const std::string kExamples = std::string(KORVEL_SOURCE_DIR) + "/examples";

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// A transcript line without its sigil and the space after it.
std::string rest(const std::string& line) {
  return line.size() > 2 ? line.substr(2) : "";
}

// Words split at spaces; a "quoted" word may hold spaces or be empty.
Lines splitWords(const std::string& text) {
  Lines words;
  std::istringstream in(text);
  for (std::string word; in >> std::quoted(word);) words.push_back(word);
  return words;
}

// A case: the indexes of its `$` line, its first result line and the line after it.
struct Case {
  std::size_t begin, results, end;
};

std::vector<Case> findCases(const Lines& lines, const std::string& file) {
  const auto is = [&lines](std::size_t i, const char* sigils) {
    return i < lines.size() && !lines[i].empty() && std::strchr(sigils, lines[i][0]);
  };
  std::vector<Case> cases;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (is(i, "$")) {
      Case c{i, i + 1, 0};
      while (is(c.results, "<%")) ++c.results;
      for (c.end = c.results; is(c.end, "?>!=");) ++c.end;
      cases.push_back(c);
      i = c.end - 1;
    } else {
      EXPECT_TRUE(lines[i].empty() || lines[i][0] == '#')
          << file << ":" << i + 1 << ": not in a case: " << lines[i];
    }
  }
  return cases;
}

// "WxH" from the two numbers that `format` reads at `marker`, or "?".
std::string sizeAt(const std::string& bytes, const char* marker, const char* format) {
  const auto at = bytes.find(marker);
  double w = 0, h = 0;
  if (at == std::string::npos || std::sscanf(bytes.c_str() + at, format, &w, &h) != 2) return "?";
  char text[64];
  std::snprintf(text, sizeof text, "%gx%g", w, h);
  return text;
}

Lines describeBytes(const std::string& b);

// What a run left at `path`: a file's type and its size in pixels (PNG) or points; a folder's
// entries; for a gallery's page, how many pictures it shows and its line about the sheet.
Lines describe(const fs::path& path) {
  std::error_code ec;
  if (fs::is_symlink(path, ec)) {
    const fs::path to = fs::read_symlink(path);
    return {"link to " + to.string() + ", " + describe(path.parent_path() / to)[0]};
  }
  if (!fs::exists(path, ec)) return {"missing"};
  if (fs::is_character_file(path, ec)) return {"character device"};
  if (fs::is_fifo(path, ec)) {
    std::string b(1 << 16, '\0');
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    b.resize(std::max<ssize_t>(0, ::read(fd, b.data(), b.size())));
    ::close(fd);
    return {"fifo holding " + (b.empty() ? "nothing" : describeBytes(b)[0])};
  }
  if (fs::is_directory(path, ec)) {
    Lines out{"folder"};
    std::vector<fs::path> entries(fs::directory_iterator(path), fs::directory_iterator{});
    std::sort(entries.begin(), entries.end());
    for (const fs::path& e : entries)
      out.push_back("  " + e.filename().string() + " " + describe(e)[0]);
    return out;
  }
  return describeBytes(readFile(path));
}

Lines describeBytes(const std::string& b) {
  if (b.starts_with("\x89PNG\r\n\x1a\n") && b.size() >= 24) {
    const auto be32 = [&b](std::size_t at) {
      unsigned long v = 0;
      for (std::size_t i = at; i < at + 4; ++i) v = v << 8 | static_cast<unsigned char>(b[i]);
      return std::to_string(v);
    };
    return {"png " + be32(16) + "x" + be32(20)};
  }
  if (b.starts_with("%PDF-")) return {"pdf " + sizeAt(b, "/MediaBox", "/MediaBox [ 0 0 %lf %lf")};
  if (b.starts_with("<?xml") && b.find("<svg") != std::string::npos) {
    return {"svg " + sizeAt(b, " width=\"", " width=\"%lfpt\" height=\"%lfpt\"")};
  }
  if (b.starts_with("{\"kind\"")) return {"json " + sizeAt(b, "\"size\":[", "\"size\":[%lf,%lf]")};
  if (b.starts_with("<!DOCTYPE html>")) {
    std::size_t images = 0;
    for (auto at = b.find("<img "); at != std::string::npos; at = b.find("<img ", at + 1)) ++images;
    const auto meta = b.find("<p class=\"meta\">");
    const auto from = meta == std::string::npos ? b.size() : meta + 16;
    return {"html, " + std::to_string(images) + " images, " +
            b.substr(from, b.find("</p>", from) - from)};
  }
  return {"other, " + std::to_string(b.size()) + " bytes"};
}

// Adds each line of `text` as the transcript writes it.
void addLines(Lines& out, char sigil, std::string text) {
  if (text.empty()) return;
  const bool newline = text.back() == '\n';
  if (newline) text.pop_back();
  for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
    end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    out.push_back(line.empty() ? std::string(1, sigil) : sigil + (" " + line));
  }
  if (!newline) out.back() += " (no newline at end)";
}

// Runs the case and says what happened, in the transcript's words.
Lines run(const Lines& lines, const Case& c) {
  korvel::testing::ScratchDir box;
  const fs::path tmp = box / "tmp";
  fs::create_directory(tmp);
  const auto expand = [&tmp](const std::string& s) {
    return replaceAll(replaceAll(s, "$TMP", tmp.string()), "$EXAMPLES", kExamples);
  };
  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string key = entry.substr(0, entry.find('='));
    if (key != "LANG" && key != "LANGUAGE" && key != "TZ" && !key.starts_with("LC_") &&
        !key.starts_with("KORVEL_")) {
      env[key] = entry.substr(key.size() + 1);
    }
  }
  env["LANG"] = "en_US.UTF-8";
  env["TZ"] = "UTC";
  env["KORVEL_GROUP_CONTAINER"] = tmp.string();
  Lines args{KORVEL_PROGRAM};
  for (const std::string& word : splitWords(rest(lines[c.begin]))) {
    const auto eq = word.find('=');
    const bool setting = args.size() == 1 && eq != std::string::npos && eq > 0 &&
                         std::all_of(word.begin(), word.begin() + eq, [](char ch) {
                           return std::isupper(static_cast<unsigned char>(ch)) || ch == '_';
                         });
    if (setting) env[word.substr(0, eq)] = expand(word.substr(eq + 1));
    if (!setting) args.push_back(expand(word));
  }
  std::string input;
  fs::path out = box / "out";
  for (std::size_t i = c.begin + 1; i < c.results; ++i) {
    if (lines[i][0] == '<') input += rest(lines[i]) + "\n";
    if (lines[i].starts_with("% stdout ")) out = expand(lines[i].substr(9));
    const std::string sh = "cd '" + tmp.string() + "' && " + expand(rest(rest(lines[i])));
    if (lines[i].starts_with("% sh ") && std::system(sh.c_str()) != 0) return {"? failed: " + sh};
  }
  if (!input.empty()) korvel::testing::writeFile(tmp / "week.json", expand(input));
  std::vector<int> readers;  // a FIFO opened for writing waits for a reader
  for (const auto& e : fs::directory_iterator(tmp)) {
    if (e.is_fifo()) readers.push_back(::open(e.path().c_str(), O_RDONLY | O_NONBLOCK));
  }

  Lines settings;
  for (const auto& [key, value] : env) settings.push_back(key + "=" + value);
  std::vector<char*> argv, envp;
  for (std::string& a : args) argv.push_back(a.data());
  for (std::string& s : settings) envp.push_back(s.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT, 0644);
  posix_spawn_file_actions_addopen(&files, 2, (box / "err").c_str(), O_WRONLY | O_CREAT, 0644);
  posix_spawn_file_actions_addchdir_np(&files, tmp.c_str());
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&files);
  if (failed) return {"? cannot start " KORVEL_PROGRAM ": " + std::string(std::strerror(failed))};
  int status = 0;
  waitpid(pid, &status, 0);

  const auto placeholders = [&tmp](const std::string& s) {
    return replaceAll(replaceAll(s, tmp.string(), "$TMP"), kExamples, "$EXAMPLES");
  };
  Lines got{WIFEXITED(status) ? "? " + std::to_string(WEXITSTATUS(status))
                              : "? killed by signal " + std::to_string(WTERMSIG(status))};
  addLines(got, '>', placeholders(fs::is_regular_file(out) ? readFile(out) : ""));
  addLines(got, '!', placeholders(readFile(box / "err")));
  for (std::size_t i = c.results; i < c.end; ++i) {
    if (!lines[i].starts_with("= ") || lines[i].starts_with("=  ")) continue;
    const std::string path = rest(lines[i]).substr(0, rest(lines[i]).find(' '));
    const Lines what = describe(expand(path));
    got.push_back("= " + path + " " + placeholders(what[0]));
    for (std::size_t k = 1; k < what.size(); ++k) got.push_back("= " + placeholders(what[k]));
  }
  for (const int fd : readers) ::close(fd);
  return got;
}

// Where `got` first departs from `want` (indexes into both), or nothing. A wildcard (">..." or
// "!...") takes lines of its stream until the next wanted line matches.
std::optional<std::pair<std::size_t, std::size_t>> firstDifference(const Lines& want,
                                                                   const Lines& got) {
  std::size_t i = 0, j = 0;
  while (i < want.size()) {
    if (want[i] == ">..." || want[i] == "!...") {
      const bool next = i + 1 < want.size() && j < got.size() && got[j] == want[i + 1];
      if (j < got.size() && !next && got[j][0] == want[i][0]) {
        ++j;
      } else {
        ++i;
      }
    } else if (j < got.size() && got[j] == want[i]) {
      ++i, ++j;
    } else {
      return std::pair{i, j};
    }
  }
  if (j < got.size()) return std::pair{i, j};
  return std::nullopt;
}

// Whether the program has `command` (the desktop window is built only where GTK 4 is).
bool offers(const std::string& command) {
  static const Lines help = run({"$ --help"}, Case{0, 1, 1});
  return std::find_if(help.begin(), help.end(), [&command](const std::string& line) {
           return line.starts_with(">   " + command + " ");
         }) != help.end();
}

Lines transcriptNames() {
  Lines names;
  for (const auto& e : fs::directory_iterator(kFolder)) {
    if (e.path().extension() == ".txt") names.push_back(e.path().stem());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class CliTranscript : public ::testing::TestWithParam<std::string> {};

TEST_P(CliTranscript, ProgramDoesWhatItSays) {
  const fs::path path = kFolder / (GetParam() + ".txt");
  const std::string file = path.filename().string();
  Lines lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);

  Lines rewritten;
  std::size_t copied = 0, differing = 0;
  for (const Case& c : findCases(lines, file)) {
    rewritten.insert(rewritten.end(), lines.begin() + copied, lines.begin() + c.results);
    copied = c.end;
    const Lines want(lines.begin() + c.results, lines.begin() + c.end);
    const std::string& second = lines[std::min(c.begin + 1, c.results - 1)];
    const bool skipped = second.starts_with("% needs ") && !offers(second.substr(8));
    const Lines got = skipped ? want : run(lines, c);
    const auto diff = firstDifference(want, got);
    const Lines& result = diff ? got : want;  // a matching case keeps its wildcards
    rewritten.insert(rewritten.end(), result.begin(), result.end());
    if (diff && ++differing == 1) {
      ADD_FAILURE() << file << ":" << c.results + diff->first + 1 << ": " << lines[c.begin]
                    << "\n  want: " << (diff->first < want.size() ? want[diff->first] : "(end)")
                    << "\n  got:  " << (diff->second < got.size() ? got[diff->second] : "(end)");
    }
  }
  rewritten.insert(rewritten.end(), lines.begin() + copied, lines.end());
  if (differing > 1) ADD_FAILURE() << differing - 1 << " more cases differ in " << file;
  const char* update = std::getenv("KORVEL_UPDATE_TRANSCRIPTS");
  if (differing > 0 && update && std::string(update) == "1") {
    std::ofstream out(path, std::ios::trunc);
    for (const std::string& line : rewritten) out << line << '\n';
  }
}

INSTANTIATE_TEST_SUITE_P(, CliTranscript, ::testing::ValuesIn(transcriptNames()),
                         [](const auto& name) { return replaceAll(name.param, "-", "_"); });

// The gallery's page shows snapshot texts; none may become markup.
TEST(CliTranscriptPage, EscapesTextForElementsAndQuotedAttributes) {
  const std::pair<const char*, const char*> rows[] = {
      {"a<b>&\"c\"'d'", "a&lt;b&gt;&amp;&quot;c&quot;&#39;d&#39;"},
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"&amp;", "&amp;amp;"},
      {"caf\u00E9 \u00B7 9\u201315", "caf\u00E9 \u00B7 9\u201315"},
  };
  for (const auto& [text, escaped] : rows) EXPECT_EQ(escapeHtml(text), escaped) << text;
}

}  // namespace
}  // namespace korvel::host

#include "e2e/host_simulator.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <thread>

namespace e2e {

namespace fs = std::filesystem;

namespace {

std::string Number(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string HexDigit(int value) { return std::string(1, "0123456789ABCDEF"[value & 15]); }

// Writes attribute lines only when they change, and every attribute at its
// first use, as the host does.
class SelectionWriter {
 public:
  std::string Write(const HostDrawing& drawing) {
    if (!drawing.FileName.empty()) Line(Cat("file=", drawing.FileName));
    Line(Cat("hk ", Number(drawing.DrawingAngle)));
    if (drawing.Bz) Line("bz");
    Layers(drawing.WorkLayerGroup, drawing.WorkLayer);

    const std::vector<Entity> selection = drawing.Selection();
    for (std::size_t i = 0; i < selection.size(); ++i) {
      const Entity& e = selection[i];
      const bool inBlock = e.Kind == EntityKind::Line && e.Polyline != 0;
      const bool blockGoesOn = inBlock && i + 1 < selection.size() &&
                               selection[i + 1].Kind == EntityKind::Line &&
                               selection[i + 1].Polyline == e.Polyline;
      if (inBlock && openBlock_ != e.Polyline) {
        Line("pl");
        openBlock_ = e.Polyline;
      }
      WriteEntity(e);
      if (inBlock && !blockGoesOn) {
        Line("#");
        openBlock_ = 0;
      }
    }
    return std::move(out_);
  }

 private:
  void Line(const std::string& text) {
    out_ += text;
    out_ += "\r\n";
  }

  template <typename T>
  bool Changed(std::optional<T>& last, const T& value) {
    if (last && *last == value) return false;
    last = value;
    return true;
  }

  void Layers(int group, int layer) {
    if (Changed(layerGroup_, group)) {
      Line(Cat("lg", HexDigit(group)));
      layer_.reset();
    }
    if (Changed(layer_, layer)) Line(Cat("ly", HexDigit(layer)));
  }

  void Color(const Attributes& a) {
    if (a.Color == 10) {
      const bool colorChanged = Changed(color_, 10);
      const bool valueChanged = Changed(color10_, a.Color10Value);
      if (colorChanged || valueChanged) Line(Cat("lc10 ", std::to_string(a.Color10Value)));
      return;
    }
    if (Changed(color_, a.Color)) Line(Cat("lc", std::to_string(a.Color)));
  }

  void Integer(std::optional<int>& last, const char* word, int value) {
    if (Changed(last, value)) Line(word + std::to_string(value));
  }

  void TextAttributes(const Attributes& a) {
    if (a.TextType == 0) {
      const std::string line = Cat("cn0 ", Number(a.FreeWidth), " ", Number(a.FreeHeight), " ",
                                   Number(a.FreeSpacing), " ", std::to_string(a.FreeColor));
      if (Changed(textType_, line)) Line(line);
    } else if (Changed(textType_, Cat("cn", std::to_string(a.TextType)))) {
      Line(*textType_);
    }
    Integer(cc_, "cc", a.Cc);
    if (Changed(font_, a.Font)) Line(Cat("cn\"$", a.Font));
  }

  void ZFlags(int bits) {
    for (int bit = 0; bit < 5; ++bit) {
      if (bits & (1 << bit)) Line(Cat("z", std::to_string(bit + 1)));
    }
  }

  std::string Values(const std::vector<double>& values) {
    std::string out;
    for (const double v : values) {
      if (!out.empty()) out.push_back(' ');
      out += Number(v);
    }
    return out;
  }

  void WriteEntity(const Entity& e) {
    if (e.Kind == EntityKind::Raw) return Line(e.Text);
    const Attributes& a = e.Attr;
    Layers(a.LayerGroup, a.Layer);
    switch (e.Kind) {
      case EntityKind::Line:
      case EntityKind::Circle:
      case EntityKind::Arc:
        Color(a);
        Integer(lineType_, "lt", a.LineType);
        Integer(lineWidth_, "lw", a.LineWidth);
        break;
      case EntityKind::Text:
        TextAttributes(a);
        break;
      case EntityKind::Point:
      case EntityKind::TypedPoint:
        Integer(pointColor_, "pn", a.PointColor);
        Integer(lineWidth_, "lw", a.LineWidth);
        break;
      case EntityKind::Message:
        Color(a);
        Integer(lineType_, "lt", a.LineType);
        Integer(lineWidth_, "lw", a.LineWidth);
        TextAttributes(a);
        break;
      case EntityKind::Solid:
        Color(a);
        Integer(lineWidth_, "lw", a.LineWidth);
        break;
      case EntityKind::Raw:
        break;
    }
    ZFlags(e.ZFlags);
    const std::string values = Values(e.Values);
    switch (e.Kind) {
      case EntityKind::Line:
        return Line(values);
      case EntityKind::Text:
        return Line(Cat(e.Command, " ", values, " \"", e.Text));
      case EntityKind::Message:
        Line("msg");
        Line(Values(e.MessageLine));
        return Line(Cat("cs ", values, " \"", e.Text));
      default:
        return Line(Cat(e.Command, " ", values));
    }
  }

  std::string out_;
  int openBlock_ = 0;
  std::optional<int> layerGroup_, layer_, color_, color10_, lineType_, lineWidth_, cc_, pointColor_;
  std::optional<std::string> textType_, font_;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::map<std::string, std::string> FolderContents(const fs::path& folder,
                                                  const std::string& except) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name == except) continue;
    files[name] = entry.is_regular_file() ? ReadFile(entry.path()) : "(not a file)";
  }
  return files;
}

struct ProcessResult {
  int ExitCode = -1;
  bool TimedOut = false;
  double Seconds = 0.0;
};

// Starts argv in folder with stdout and stderr going to log, and waits at
// most timeoutSeconds; a process that runs longer is killed.
ProcessResult RunProcess(const std::vector<std::string>& argv, const fs::path& folder,
                         const fs::path& log, double timeoutSeconds) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  ProcessResult result;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) return result;
  if (pid == 0) {
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = ::open("/dev/null", O_RDONLY);
    if (out < 0 || in < 0 || ::chdir(folder.c_str()) != 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    result.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (done == pid) break;
    if (done < 0) return result;
    if (result.Seconds > timeoutSeconds) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      result.TimedOut = true;
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (WIFEXITED(status)) {
    result.ExitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.ExitCode = -WTERMSIG(status);
  }
  return result;
}

}  // namespace

std::string WriteSelection(const HostDrawing& drawing) { return SelectionWriter().Write(drawing); }

HostSimulator::HostSimulator() {
  std::string pattern = (fs::temp_directory_path() / "k726-e2e-XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) root_ = pattern;
}

HostSimulator::~HostSimulator() {
  std::error_code ignored;
  if (!root_.empty()) fs::remove_all(root_, ignored);
}

std::string HostSimulator::Binary() {
  if (const char* binary = std::getenv("K726_E2E_BINARY"); binary != nullptr && *binary != 0) {
    return binary;
  }
  return K726_E2E_DEFAULT_BINARY;
}

std::vector<std::string> HostSimulator::Runner() {
  std::vector<std::string> words;
  if (const char* runner = std::getenv("K726_E2E_RUNNER"); runner != nullptr) {
    std::istringstream split(runner);
    for (std::string word; split >> word;) words.push_back(word);
  }
  return words;
}

bool HostSimulator::WaitsForUserInOtherModes() {
  return !Runner().empty() || fs::path(Binary()).extension() == ".exe";
}

RunResult HostSimulator::Run(const RunOptions& options) {
  RunResult result;
  const fs::path folder = fs::path(root_) / Cat("run", std::to_string(++runs_));
  const fs::path log = fs::path(root_) / Cat("run", std::to_string(runs_), ".log");
  fs::create_directories(folder);

  const fs::path original = fs::absolute(Binary());
  fs::path binary = folder / original.filename();
  if (!options.ProgramName.empty()) {
    binary = folder / Cat(options.ProgramName, original.extension().string());
  }
  fs::copy_file(original, binary, fs::copy_options::overwrite_existing);
  fs::permissions(binary, fs::perms::owner_all, fs::perm_options::add);
  const fs::path interchange = folder / "KZC_TEMP.TXT";
  if (options.Interchange) WriteFile(interchange, *options.Interchange);
  if (options.Settings) WriteFile(fs::path(binary).replace_extension(".dat"), *options.Settings);
  for (const auto& [name, bytes] : options.OtherFiles) WriteFile(folder / name, bytes);
  fs::path start = folder;
  if (options.WorkingFolder) {
    start = fs::path(root_) / Cat("start", std::to_string(runs_));
    fs::create_directories(start);
    for (const auto& [name, bytes] : *options.WorkingFolder) WriteFile(start / name, bytes);
  }

  result.FolderBefore = FolderContents(folder, binary.filename().string());
  std::vector<std::string> argv = Runner();
  argv.push_back(binary.string());
  argv.insert(argv.end(), options.Arguments.begin(), options.Arguments.end());
  const ProcessResult process = RunProcess(argv, start, log, options.TimeoutSeconds);
  result.ExitCode = process.ExitCode;
  result.TimedOut = process.TimedOut;
  result.Seconds = process.Seconds;
  result.Output = ReadFile(log);

  result.FolderAfter = FolderContents(folder, binary.filename().string());
  result.FileExists = fs::exists(interchange);
  if (result.FileExists) {
    result.FileBytes = ReadFile(interchange);
    result.Returned = ReadHostFile(result.FileBytes);
  }
  if (options.WorkingFolder) result.WorkingFolderAfter = FolderContents(start, "");
  std::error_code ignored;
  if (options.WorkingFolder) fs::remove_all(start, ignored);
  fs::remove_all(folder, ignored);
  fs::remove(log, ignored);
  return result;
}

RunResult HostSimulator::Run(const HostDrawing& drawing, RunOptions options) {
  options.Interchange = WriteSelection(drawing);
  return Run(options);
}

bool ApplyReturnedFile(HostDrawing& drawing, const HostFile& file, std::string& error) {
  if (!file.Ok()) {
    error = Cat("the host cannot read the file:\n", file.ErrorText());
    return false;
  }
  if (file.Quit) return true;
  if (!file.Delete) {
    error = "the file begins with neither \"hd\" nor \"hq\" alone";
    return false;
  }
  std::vector<Entity> kept = drawing.Unselected();
  for (Entity e : file.Entities) {
    e.Selected = true;
    kept.push_back(std::move(e));
  }
  drawing.Entities = std::move(kept);
  if (file.LastLayerGroup) drawing.WorkLayerGroup = *file.LastLayerGroup;
  if (file.LastLayer) drawing.WorkLayer = *file.LastLayer;
  return true;
}

}  // namespace e2e

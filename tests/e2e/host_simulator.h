// A stand-in for the host drawing program: it writes the selection of a
// drawing into KZC_TEMP.TXT beside a fresh copy of k726, starts the copy with
// a mode argument, waits for it, reads the file back with the host's own
// reader and applies it to the drawing.
//
// The program under test is the native k726 by default. K726_E2E_BINARY names
// another one (such as k726.exe) and K726_E2E_RUNNER a command put in front of
// it (such as "wine"); the copy keeps the file name, and so the extension, of
// the binary it was made from.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "e2e/host_drawing.h"
#include "e2e/host_reader.h"

namespace e2e {

// The bytes a host writes for the drawing's selection: header, "bz" when the
// drawing asks for it, the work layer, then every selected entity with the
// attribute lines that changed since the entity before (all at first use).
std::string WriteSelection(const HostDrawing& drawing);

struct RunOptions {
  std::vector<std::string> Arguments = {"1"};
  // Bytes of KZC_TEMP.TXT; none: the file is missing.
  std::optional<std::string> Interchange;
  // Bytes of the settings file beside the binary; none: no settings file.
  std::optional<std::string> Settings;
  // The copy's name without extension; empty: the binary's own. The settings
  // file follows the copy's name.
  std::string ProgramName;
  // More files beside the program, name to bytes.
  std::map<std::string, std::string> OtherFiles;
  // The program starts in its own folder, or in another one holding these files.
  std::optional<std::map<std::string, std::string>> WorkingFolder;
  double TimeoutSeconds = 120.0;
};

struct RunResult {
  int ExitCode = -1;  // negative: the signal that ended the process
  bool TimedOut = false;
  double Seconds = 0.0;
  bool FileExists = false;
  std::string FileBytes;  // KZC_TEMP.TXT after the run
  HostFile Returned;      // FileBytes as the host reads them
  // Every file of the folder except the binary, name to bytes.
  std::map<std::string, std::string> FolderBefore, FolderAfter;
  std::map<std::string, std::string> WorkingFolderAfter;
  std::string Output;  // what the process wrote to stdout and stderr
};

class HostSimulator {
 public:
  HostSimulator();
  ~HostSimulator();
  HostSimulator(const HostSimulator&) = delete;
  HostSimulator& operator=(const HostSimulator&) = delete;

  // Runs the program once in a fresh folder.
  RunResult Run(const RunOptions& options);
  // Writes the drawing's selection as KZC_TEMP.TXT and runs.
  RunResult Run(const HostDrawing& drawing, RunOptions options);

  // The program under test and the runner in front of it.
  static std::string Binary();
  static std::vector<std::string> Runner();
  // True when the program is not the native build: its modes that wait for a
  // user would wait for ever here.
  static bool WaitsForUserInOtherModes();

 private:
  std::string root_;
  int runs_ = 0;
};

// Applies a returned file as the host does: "hq" leaves the drawing as it
// was; a file that begins with "hd" replaces the selection with its entities,
// which stay selected, and its last layer becomes the work layer. Anything
// else is refused, with the reason in error.
bool ApplyReturnedFile(HostDrawing& drawing, const HostFile& file, std::string& error);

}  // namespace e2e

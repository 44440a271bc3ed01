// Building blocks of the scenarios: entities, settings files, what a drawing
// should look like after a join, and the run-and-apply step with its checks.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/host_drawing.h"
#include "e2e/host_reader.h"
#include "e2e/host_simulator.h"

namespace e2e {

// Shift-JIS bytes used across the scenarios.
namespace sjis {
inline const std::string kZuMen = "\x90\x7d\x96\xca";   // 図面
inline const std::string kSekkei = "\x90\xdd\x8c\x76";  // 設計
inline const std::string kKabushikiSoft =
    "\x8a\x94\x8e\xae\x89\xef\x8e\xd0"                                         // 株式会社
    "\x83\x5c\x83\x74\x83\x67";                                                // ソフト
inline const std::string kHeimenZu = "\x95\xbd\x96\xca\x90\x7d";               // 平面図
inline const std::string kSunpou = "\x90\xa1\x96\x40";                         // 寸法
inline const std::string kSo = "\x83\x5c";                                     // ソ
inline const std::string kHyou = "\x95\x5c";                                   // 表
inline const std::string kNou = "\x94\x5c";                                    // 能
inline const std::string kFullWidthMinus = "\x81\x7c";                         // －
inline const std::string kFullWidthEquals = "\x81\x81";                        // ＝
inline const std::string kFullWidthBlank = "\x81\x40";                         // 全角空白
inline const std::string kMaru = "\x81\x42";                                   // 。
inline const std::string kHalfWidthAiu = "\xb1\xb2\xb3";                       // ｱｲｳ
inline const std::string kMinchoFont = "<\x82\x6c\x82\x72 \x96\xbe\x92\xa9>";  // <ＭＳ 明朝>
// A font whose name has 0x5C trail bytes: 表示ソフト.
inline const std::string kHyoujiSoftFont = "\x95\x5c\x8e\xa6\x83\x5c\x83\x74\x83\x67";
}  // namespace sjis

inline Entity MakeText(double x, double y, std::string text, Attributes attr = {}, double vx = 1.0,
                       double vy = 0.0, std::string command = "ch") {
  Entity e;
  e.Kind = EntityKind::Text;
  e.Command = std::move(command);
  e.Values = {x, y, vx, vy};
  e.Text = std::move(text);
  e.Attr = std::move(attr);
  return e;
}

inline Entity MakeLine(double x1, double y1, double x2, double y2, Attributes attr = {},
                       int polyline = 0) {
  Entity e;
  e.Kind = EntityKind::Line;
  e.Values = {x1, y1, x2, y2};
  e.Attr = std::move(attr);
  e.Polyline = polyline;
  return e;
}

inline Entity MakeShape(EntityKind kind, std::string command, std::vector<double> values,
                        Attributes attr = {}) {
  Entity e;
  e.Kind = kind;
  e.Command = std::move(command);
  e.Values = std::move(values);
  e.Attr = std::move(attr);
  return e;
}

inline Entity MakeMessage(std::vector<double> line, std::vector<double> place, std::string text,
                          Attributes attr = {}) {
  Entity e;
  e.Kind = EntityKind::Message;
  e.Command = "cs";
  e.MessageLine = std::move(line);
  e.Values = std::move(place);
  e.Text = std::move(text);
  e.Attr = std::move(attr);
  return e;
}

// A line written into the file as it stands, such as a broken number.
inline Entity MakeRaw(std::string line) {
  Entity e;
  e.Kind = EntityKind::Raw;
  e.Text = std::move(line);
  return e;
}

// The settings file as the program writes it: order, CR LF, delimiter, CR LF.
inline std::string SettingsFile(const std::string& order, const std::string& delimiter) {
  return order + "\r\n" + delimiter + "\r\n";
}

// A run with one argument, the settings file (none: missing) and, when given,
// the interchange file's bytes in place of the drawing's selection.
inline RunOptions Mode(std::string argument, std::optional<std::string> settings = std::nullopt,
                       std::optional<std::string> interchange = std::nullopt) {
  RunOptions options;
  options.Arguments = {std::move(argument)};
  options.Settings = std::move(settings);
  options.Interchange = std::move(interchange);
  return options;
}

// The selection once a join has been applied: the text at drawing index
// receiving holds joined, the texts at the absorbed indexes are gone, and
// every other selected entity is as it was, in its place.
inline std::vector<Entity> SelectionAfterJoin(const HostDrawing& before, std::size_t receiving,
                                              const std::vector<std::size_t>& absorbed,
                                              const std::string& joined) {
  std::vector<Entity> out;
  for (std::size_t i = 0; i < before.Entities.size(); ++i) {
    if (!before.Entities[i].Selected) continue;
    if (std::find(absorbed.begin(), absorbed.end(), i) != absorbed.end()) continue;
    out.push_back(before.Entities[i]);
    if (i == receiving) out.back().Text = joined;
  }
  return out;
}

struct JoinOutcome {
  std::size_t Receiving = 0;          // drawing index
  std::vector<std::size_t> Absorbed;  // drawing indexes
  std::string Joined;
  // Entities that show nothing (blank texts, zero-length lines, circles of
  // radius 0) are not written back, so "hd" removes them from the drawing.
  std::vector<std::size_t> Dropped = {};
};

// Mode "1" worked out by hand for any drawing: keys from the texts' positions
// turned by minus the drawing angle, the selection sort into descending keys
// with its exact tie rules, and appending until the next text would pass 128
// bytes. Positions are settled only as far as the join needs them.
inline JoinOutcome ExpectedRangeJoin(const HostDrawing& drawing, int joinOrder,
                                     const std::string& delimiter) {
  std::vector<std::size_t> index;
  std::vector<long double> keys;
  const long double radians = -static_cast<long double>(drawing.DrawingAngle) / 180.0L *
                              3.14159265358979323846264338327950288L;
  for (std::size_t i = 0; i < drawing.Entities.size(); ++i) {
    const Entity& e = drawing.Entities[i];
    if (!e.Selected || e.Kind != EntityKind::Text) continue;
    const long double x = e.Values[0];
    const long double y = e.Values[1];
    const double turnedX = static_cast<double>(std::cos(radians) * x - std::sin(radians) * y);
    const double turnedY = static_cast<double>(std::sin(radians) * x + std::cos(radians) * y);
    index.push_back(i);
    keys.push_back(joinOrder == 0 ? -turnedX : turnedY);
  }
  const auto settle = [&](std::size_t i) {
    std::optional<std::size_t> found;
    long double best = keys[i];
    for (std::size_t j = i + 1; j < keys.size(); ++j) {
      if (keys[j] > best) {
        best = keys[j];
        found = j;
      }
    }
    if (found) {
      std::swap(keys[i], keys[*found]);
      std::swap(index[i], index[*found]);
    }
  };
  JoinOutcome outcome;
  if (index.size() < 2) return outcome;
  settle(0);
  outcome.Receiving = index[0];
  outcome.Joined = drawing.Entities[index[0]].Text;
  for (std::size_t k = 1; k < index.size(); ++k) {
    settle(k);
    const std::string candidate = outcome.Joined + delimiter + drawing.Entities[index[k]].Text;
    if (candidate.size() > 128) break;
    outcome.Joined = candidate;
    outcome.Absorbed.push_back(index[k]);
  }
  return outcome;
}

// Names of the files in a folder, with the interchange file left out.
inline std::vector<std::string> OtherFiles(const std::map<std::string, std::string>& folder) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : folder) {
    if (name != "KZC_TEMP.TXT") names.push_back(name);
  }
  return names;
}

// Modes 1 and 2 write the interchange file and nothing else: no file left
// behind, the settings file as it was.
inline void ExpectOnlyTheInterchangeFileChanged(const RunResult& run) {
  EXPECT_EQ(OtherFiles(run.FolderAfter), OtherFiles(run.FolderBefore));
  for (const std::string& name : OtherFiles(run.FolderBefore)) {
    const auto after = run.FolderAfter.find(name);
    EXPECT_TRUE(after != run.FolderAfter.end() && after->second == run.FolderBefore.at(name))
        << name << " changed";
  }
}

// Runs the program on the drawing's selection (or on options.Interchange when
// given) and applies what comes back. The program must end by itself with
// exit code 0, leave no other file behind and a file the host can read;
// otherwise the failure is recorded and nothing is returned.
inline std::optional<HostDrawing> RunAndApply(HostSimulator& host, const HostDrawing& before,
                                              RunOptions options, RunResult* runOut = nullptr) {
  RunResult run = options.Interchange ? host.Run(options) : host.Run(before, std::move(options));
  EXPECT_FALSE(run.TimedOut) << run.Output;
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_TRUE(run.FileExists);
  ExpectOnlyTheInterchangeFileChanged(run);
  HostDrawing after = before;
  std::string error;
  const bool applied = ApplyReturnedFile(after, run.Returned, error);
  EXPECT_TRUE(applied) << error;
  if (runOut != nullptr) *runOut = std::move(run);
  if (!applied) return std::nullopt;
  return after;
}

// Whole-drawing check after a join: the receiving text carries the joined
// string with its own position and attributes, absorbed texts are gone, every
// other entity is unchanged, and the work layer is the one the host started on.
inline void ExpectJoined(const HostDrawing& before, const HostDrawing& after,
                         const JoinOutcome& join) {
  std::vector<std::size_t> gone = join.Absorbed;
  gone.insert(gone.end(), join.Dropped.begin(), join.Dropped.end());
  EXPECT_EQ(CompareEntities(SelectionAfterJoin(before, join.Receiving, gone, join.Joined),
                            after.Selection()),
            "");
  EXPECT_EQ(CompareEntities(before.Unselected(), after.Unselected()), "");
  EXPECT_EQ(after.WorkLayerGroup, before.WorkLayerGroup);
  EXPECT_EQ(after.WorkLayer, before.WorkLayer);
}

inline void ExpectUnchanged(const HostDrawing& before, const HostDrawing& after) {
  EXPECT_EQ(CompareEntities(before.Entities, after.Entities), "");
}

}  // namespace e2e

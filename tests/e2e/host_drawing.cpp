#include "e2e/host_drawing.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <utility>

namespace e2e {

namespace {

// Shift-JIS bytes shown as ASCII with \xNN escapes, so a failure message is
// readable on any terminal.
std::string Printable(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      out.push_back(c);
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 15]);
    }
  }
  return out;
}

std::string Number(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string Numbers(const std::vector<double>& values) {
  std::string out;
  for (const double v : values) {
    if (!out.empty()) out.push_back(' ');
    out += Number(v);
  }
  return out;
}

std::string Enclosed(char open, const std::string& text, char close) {
  std::string out(1, open);
  out += text;
  out.push_back(close);
  return out;
}

class DifferenceList {
 public:
  template <typename T>
  void Check(const char* name, const T& expected, const T& actual) {
    if (expected == actual) return;
    if constexpr (std::is_same_v<T, std::string>) {
      Add(name, Enclosed('"', Printable(expected), '"'), Enclosed('"', Printable(actual), '"'));
    } else if constexpr (std::is_same_v<T, std::vector<double>>) {
      Add(name, Enclosed('[', Numbers(expected), ']'), Enclosed('[', Numbers(actual), ']'));
    } else {
      Add(name, Number(static_cast<double>(expected)), Number(static_cast<double>(actual)));
    }
  }
  std::string Text() const { return text_; }

 private:
  void Add(const char* name, const std::string& expected, const std::string& actual) {
    if (!text_.empty()) text_ += ", ";
    text_ += Cat(name, " ", expected, " became ", actual);
  }
  std::string text_;
};

void CheckLineAttributes(DifferenceList& d, const Attributes& e, const Attributes& a) {
  d.Check("colour", e.Color, a.Color);
  d.Check("line type", e.LineType, a.LineType);
  d.Check("line width", e.LineWidth, a.LineWidth);
}

void CheckTextAttributes(DifferenceList& d, const Attributes& e, const Attributes& a) {
  d.Check("text type", e.TextType, a.TextType);
  if (e.TextType == 0 && a.TextType == 0) {
    d.Check("free width", e.FreeWidth, a.FreeWidth);
    d.Check("free height", e.FreeHeight, a.FreeHeight);
    d.Check("free spacing", e.FreeSpacing, a.FreeSpacing);
    d.Check("free colour", e.FreeColor, a.FreeColor);
  }
  d.Check("cc", e.Cc, a.Cc);
  d.Check("font", e.Font, a.Font);
}

const char* KindName(EntityKind kind) {
  switch (kind) {
    case EntityKind::Line:
      return "line";
    case EntityKind::Circle:
      return "circle";
    case EntityKind::Arc:
      return "arc";
    case EntityKind::Text:
      return "text";
    case EntityKind::Point:
      return "point";
    case EntityKind::TypedPoint:
      return "typed point";
    case EntityKind::Message:
      return "message";
    case EntityKind::Solid:
      return "solid";
    case EntityKind::Raw:
      return "raw line";
  }
  return "?";
}

// Block numbers replaced by 1, 2, 3... in order of first appearance.
std::vector<int> PolylineGroups(const std::vector<Entity>& entities) {
  std::map<int, int> renumbered;
  std::vector<int> groups;
  for (const Entity& e : entities) {
    if (e.Polyline == 0) {
      groups.push_back(0);
      continue;
    }
    const auto [it, inserted] =
        renumbered.emplace(e.Polyline, static_cast<int>(renumbered.size()) + 1);
    groups.push_back(it->second);
  }
  return groups;
}

}  // namespace

std::vector<Entity> HostDrawing::Selection() const {
  std::vector<Entity> out;
  std::copy_if(Entities.begin(), Entities.end(), std::back_inserter(out),
               [](const Entity& e) { return e.Selected; });
  return out;
}

std::vector<Entity> HostDrawing::Unselected() const {
  std::vector<Entity> out;
  std::copy_if(Entities.begin(), Entities.end(), std::back_inserter(out),
               [](const Entity& e) { return !e.Selected; });
  return out;
}

std::string Describe(const Entity& entity) {
  std::string out = KindName(entity.Kind);
  if (!entity.Command.empty()) out += Cat(" ", entity.Command);
  if (!entity.MessageLine.empty()) out += Cat(" [", Numbers(entity.MessageLine), "]");
  out += Cat(" [", Numbers(entity.Values), "]");
  if (entity.Kind == EntityKind::Text || entity.Kind == EntityKind::Message ||
      entity.Kind == EntityKind::Raw) {
    out += Cat(" \"", Printable(entity.Text), "\"");
  }
  return out;
}

std::string Differences(const Entity& expected, const Entity& actual) {
  if (expected.Kind != actual.Kind) {
    return Cat("kind ", KindName(expected.Kind), " became ", KindName(actual.Kind));
  }
  DifferenceList d;
  d.Check("command", expected.Command, actual.Command);
  d.Check("values", expected.Values, actual.Values);
  d.Check("text", expected.Text, actual.Text);
  d.Check("message line", expected.MessageLine, actual.MessageLine);
  d.Check("z flags", expected.ZFlags, actual.ZFlags);
  const Attributes& e = expected.Attr;
  const Attributes& a = actual.Attr;
  d.Check("layer group", e.LayerGroup, a.LayerGroup);
  d.Check("layer", e.Layer, a.Layer);
  switch (expected.Kind) {
    case EntityKind::Line:
    case EntityKind::Circle:
    case EntityKind::Arc:
      CheckLineAttributes(d, e, a);
      break;
    case EntityKind::Text:
      CheckTextAttributes(d, e, a);
      break;
    case EntityKind::Point:
    case EntityKind::TypedPoint:
      d.Check("point colour", e.PointColor, a.PointColor);
      d.Check("line width", e.LineWidth, a.LineWidth);
      break;
    case EntityKind::Message:
      CheckLineAttributes(d, e, a);
      CheckTextAttributes(d, e, a);
      break;
    case EntityKind::Solid:
      d.Check("colour", e.Color, a.Color);
      if (e.Color == 10) d.Check("colour-10 value", e.Color10Value, a.Color10Value);
      // The host draws only these two solids with a width.
      if ((expected.Command == "sl" && expected.Values.size() == 4) || expected.Command == "se") {
        d.Check("line width", e.LineWidth, a.LineWidth);
      }
      break;
    case EntityKind::Raw:
      break;
  }
  return d.Text();
}

std::string CompareEntities(const std::vector<Entity>& expected,
                            const std::vector<Entity>& actual) {
  constexpr int kMaxReported = 8;
  std::string report;
  int reported = 0;
  const std::vector<int> expectedGroups = PolylineGroups(expected);
  const std::vector<int> actualGroups = PolylineGroups(actual);
  const std::size_t common = std::min(expected.size(), actual.size());
  for (std::size_t i = 0; i < common && reported < kMaxReported; ++i) {
    std::string diff = Differences(expected[i], actual[i]);
    if (expectedGroups[i] != actualGroups[i]) {
      if (!diff.empty()) diff += ", ";
      diff += Cat("polyline block ", std::to_string(expectedGroups[i]), " became ",
                  std::to_string(actualGroups[i]));
    }
    if (diff.empty()) continue;
    report += Cat("entity ", std::to_string(i), " (", Describe(expected[i]), "): ", diff, "\n");
    ++reported;
  }
  if (expected.size() != actual.size()) {
    report += Cat(std::to_string(expected.size()), " entities expected, ",
                  std::to_string(actual.size()), " came back");
    if (expected.size() > actual.size()) {
      report += Cat("; first missing: ", Describe(expected[common]));
    } else {
      report += Cat("; first extra: ", Describe(actual[common]));
    }
    report += "\n";
  }
  return report;
}

}  // namespace e2e

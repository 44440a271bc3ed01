#include "e2e/host_reader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace e2e {

namespace {

constexpr std::array<std::string_view, 10> kTextWords = {"ch", "cv", "cs", "cr", "co",
                                                         "cp", "ct", "ck", "cz", "c2"};

bool IsTextWord(std::string_view word) {
  for (const std::string_view w : kTextWords) {
    if (w == word) return true;
  }
  return false;
}

std::optional<double> ParseReal(std::string_view s) {
  if (s.empty()) return std::nullopt;
  double value = 0.0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (error != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> ParseInteger(std::string_view s) {
  if (s.empty()) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (error != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

std::optional<int> ParseHexDigit(std::string_view s) {
  if (s.size() != 1) return std::nullopt;
  const char c = s[0];
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

class Reader {
 public:
  HostFile Read(std::string_view bytes) {
    SplitLines(bytes);
    file_.Quit = file_.Lines.size() == 1 && file_.Lines[0] == "hq";
    file_.Delete = !file_.Lines.empty() && file_.Lines[0] == "hd";
    bool opening = true;
    for (std::size_t i = 0; i < file_.Lines.size(); ++i) {
      line_ = i + 1;
      const std::string& text = file_.Lines[i];
      if (opening && text == "bz") {
        ++file_.LeadingBz;
      } else if (!(i == 0 && text == "hd")) {
        opening = false;
      }
      Interpret(text);
    }
    if (messageMode_) Error("\"msg\" without its line and \"cs\" text at the end");
    return std::move(file_);
  }

 private:
  void Error(const std::string& what) {
    file_.Errors.push_back(Cat("line ", std::to_string(line_), ": ", what));
  }

  // The host writes and expects CR LF after every line, the last included.
  void SplitLines(std::string_view bytes) {
    std::size_t start = 0;
    line_ = 1;
    while (start < bytes.size()) {
      const std::size_t lf = bytes.find('\n', start);
      if (lf == std::string_view::npos) {
        file_.Lines.emplace_back(bytes.substr(start));
        Error("the last line has no CR LF");
        break;
      }
      std::string_view line = bytes.substr(start, lf - start);
      if (line.empty() || line.back() != '\r') {
        Error("a line ends with LF alone");
      } else {
        line.remove_suffix(1);
      }
      if (line.find('\r') != std::string_view::npos) Error("a CR inside a line");
      file_.Lines.emplace_back(line);
      start = lf + 1;
      ++line_;
    }
  }

  // Blank-separated values: exactly one blank between two, none around them.
  bool Split(std::string_view text, std::vector<std::string_view>& tokens) {
    tokens.clear();
    std::size_t start = 0;
    while (true) {
      const std::size_t blank = text.find(' ', start);
      const std::string_view token = text.substr(start, blank - start);
      if (token.empty() || token.find('\t') != std::string_view::npos) {
        Error(Cat("stray blank or tab in \"", text, "\""));
        return false;
      }
      tokens.push_back(token);
      if (blank == std::string_view::npos) return true;
      start = blank + 1;
    }
  }

  bool Reals(const std::vector<std::string_view>& tokens, std::size_t first,
             std::vector<double>& values) {
    values.clear();
    for (std::size_t i = first; i < tokens.size(); ++i) {
      const std::optional<double> value = ParseReal(tokens[i]);
      if (!value) {
        Error(Cat("not a number: \"", tokens[i], "\""));
        return false;
      }
      values.push_back(*value);
    }
    return true;
  }

  void Interpret(const std::string& text) {
    if (text.empty()) return Error("empty line");
    // The drawing's path: a word that holds "file=", and the rest of the line.
    const std::size_t file = text.substr(0, text.find_first_of(" \"")).find("file=");
    if (file != std::string::npos) {
      file_.FileName = text.substr(file + 5);
      return;
    }
    // The font: the quote makes the rest of the line the name, blanks included.
    if (text.starts_with("cn\"$")) return SetFont(text.substr(4));
    const std::size_t quote = text.find('"');
    if (quote != std::string::npos) return TextLine(text.substr(0, quote), text.substr(quote + 1));

    std::vector<std::string_view> tokens;
    if (!Split(text, tokens)) return;
    const std::string_view word = tokens[0];
    std::vector<double> values;

    if (ParseReal(word)) {
      if (tokens.size() != 4) return Error("a plain line needs four numbers");
      if (!Reals(tokens, 0, values)) return;
      return PlainLine(values);
    }
    if (word == "hd" || word == "hq") {
      if (tokens.size() != 1) return Error(Cat("values after \"", word, "\""));
      if (word == "hd" && line_ != 1) Error("\"hd\" after the first line");
      if (word == "hq" && file_.Lines.size() != 1) Error("\"hq\" with other lines");
      return;
    }
    if (word == "bz") {
      ++file_.BzLines;
      return;
    }
    if (word == "hk" || word == "hs" || word == "hzs" || word == "hcw" || word == "hch" ||
        word == "hcd" || word == "hcc" || word == "hn") {
      if (!Reals(tokens, 1, values)) return;
      if (word == "hk") {
        if (values.size() != 1) return Error("\"hk\" needs one value");
        file_.DrawingAngle = values[0];
      }
      return;
    }
    if (word == "pl") {
      EndEntity();
      polyline_ = ++polylineCounter_;
      return;
    }
    if (word == "#") {
      if (polyline_ == 0) Error("\"#\" without \"pl\"");
      polyline_ = 0;
      return;
    }
    if (word == "msg") {
      if (messageMode_) Error("\"msg\" twice");
      polyline_ = 0;
      messageMode_ = true;
      messageLine_.clear();
      return;
    }
    if (word.size() == 2 && word[0] == 'z' && word[1] >= '1' && word[1] <= '5') {
      if (tokens.size() != 1) return Error("values after a z line");
      pendingZ_ |= 1 << (word[1] - '1');
      return;
    }
    if (word == "ci" || word == "pt" || word == "sl" || word == "sc" || word == "se" ||
        word == "so" || word == "sg") {
      if (!Reals(tokens, 1, values)) return;
      return Command(word, values);
    }
    if (word.size() >= 2) {
      const std::string_view name = word.substr(0, 2);
      const std::string_view rest = word.substr(2);
      if (name == "lg" || name == "ly") return Layer(name == "lg", rest, tokens);
      if (name == "lc") return Color(rest, tokens);
      if (name == "lt" || name == "lw" || name == "cc" || name == "pn") {
        const std::optional<int> value = ParseInteger(rest);
        if (!value || tokens.size() != 1) return Error(Cat("bad \"", name, "\" line"));
        if (name == "lt") attributes_.LineType = *value;
        if (name == "lw") attributes_.LineWidth = *value;
        if (name == "cc") attributes_.Cc = *value;
        if (name == "pn") attributes_.PointColor = *value;
        return;
      }
      if (name == "cn") {
        if (rest.starts_with("$")) return SetFont(std::string(rest.substr(1)));
        return TextType(rest, tokens);
      }
    }
    Error(Cat("a line the host does not know: \"", text, "\""));
  }

  void Layer(bool group, std::string_view digit, const std::vector<std::string_view>& tokens) {
    const std::optional<int> value = ParseHexDigit(digit);
    // The host's own selection may carry the layer's number after the digit.
    if (!value || tokens.size() > 2) return Error("bad layer line");
    if (group) {
      attributes_.LayerGroup = *value;
      if (!file_.FirstLayerGroup) file_.FirstLayerGroup = *value;
      file_.LastLayerGroup = *value;
    } else {
      attributes_.Layer = *value;
      if (!file_.FirstLayer) file_.FirstLayer = *value;
      file_.LastLayer = *value;
    }
  }

  void Color(std::string_view digits, const std::vector<std::string_view>& tokens) {
    const std::optional<int> color = ParseInteger(digits);
    if (!color) return Error("bad colour line");
    attributes_.Color = *color;
    if (tokens.size() == 1) return;
    const std::optional<int> value = ParseInteger(tokens[1]);
    if (*color != 10 || tokens.size() != 2 || !value) return Error("bad colour-10 line");
    attributes_.Color10Value = *value;
  }

  void TextType(std::string_view digits, const std::vector<std::string_view>& tokens) {
    const std::optional<int> type = ParseInteger(digits);
    if (!type) return Error("bad text type line");
    attributes_.TextType = *type;
    if (*type != 0) {
      if (tokens.size() != 1) Error("values after a text type other than 0");
      return;
    }
    std::vector<double> values;
    if (tokens.size() != 5) return Error("\"cn0\" needs width, height, spacing and colour");
    if (!Reals(tokens, 1, values)) return;
    const std::optional<int> color = ParseInteger(tokens[4]);
    if (!color) return Error("the free text colour is not an integer");
    attributes_.FreeWidth = values[0];
    attributes_.FreeHeight = values[1];
    attributes_.FreeSpacing = values[2];
    attributes_.FreeColor = *color;
  }

  void SetFont(const std::string& name) { attributes_.Font = name; }

  void PlainLine(const std::vector<double>& values) {
    if (messageMode_) {
      if (!messageLine_.empty()) Error("a message with two lines");
      messageLine_ = values;
      return;
    }
    Entity line;
    line.Kind = EntityKind::Line;
    line.Values = values;
    line.Polyline = polyline_;
    Store(std::move(line));
  }

  void Command(std::string_view word, const std::vector<double>& values) {
    Entity e;
    e.Command = std::string(word);
    e.Values = values;
    const std::size_t n = values.size();
    bool ok = false;
    if (word == "ci") {
      e.Kind = n == 7 ? EntityKind::Arc : EntityKind::Circle;
      ok = n == 3 || n == 7;
    } else if (word == "pt") {
      e.Kind = n == 5 ? EntityKind::TypedPoint : EntityKind::Point;
      ok = n == 2 || n == 5;
    } else {
      e.Kind = EntityKind::Solid;
      ok = word == "sl" ? (n == 4 || n == 6 || n == 8) : n == 8;
    }
    if (!ok) return Error(Cat("\"", word, "\" with ", std::to_string(n), " values"));
    EndPolyline();
    Store(std::move(e));
  }

  // A text: the command word and four numbers, each followed by one blank,
  // then the quote; every byte after the quote is the text.
  void TextLine(std::string_view head, std::string_view text) {
    if (!head.ends_with(' ')) return Error("no blank before the quote");
    head.remove_suffix(1);
    std::vector<std::string_view> tokens;
    if (!Split(head, tokens)) return;
    if (!IsTextWord(tokens[0])) return Error(Cat("a quote after \"", tokens[0], "\""));
    if (tokens.size() != 5) return Error("a text needs four numbers");
    Entity e;
    if (!Reals(tokens, 1, e.Values)) return;
    e.Command = std::string(tokens[0]);
    e.Text = std::string(text);
    EndPolyline();
    if (messageMode_) {
      if (e.Command != "cs" || messageLine_.empty()) {
        messageMode_ = false;
        return Error("\"msg\" not followed by its line and a \"cs\" text");
      }
      e.Kind = EntityKind::Message;
      e.MessageLine = std::move(messageLine_);
      messageLine_.clear();
    } else {
      e.Kind = EntityKind::Text;
    }
    Store(std::move(e));
  }

  void EndPolyline() { polyline_ = 0; }

  void EndEntity() {
    if (messageMode_) Error("\"msg\" not followed by its line and a \"cs\" text");
    messageMode_ = false;
  }

  void Store(Entity e) {
    if (e.Kind != EntityKind::Message) EndEntity();
    messageMode_ = false;
    e.Attr = attributes_;
    e.ZFlags = pendingZ_;
    pendingZ_ = 0;
    file_.Entities.push_back(std::move(e));
  }

  HostFile file_;
  std::size_t line_ = 0;
  Attributes attributes_;
  int pendingZ_ = 0;
  int polyline_ = 0;
  int polylineCounter_ = 0;
  bool messageMode_ = false;
  std::vector<double> messageLine_;
};

}  // namespace

std::string HostFile::ErrorText() const {
  std::string out;
  for (std::size_t i = 0; i < Errors.size() && i < 10; ++i) out += Errors[i] + "\n";
  if (Errors.size() > 10) out += std::to_string(Errors.size() - 10) + " more\n";
  return out;
}

HostFile ReadHostFile(std::string_view bytes) { return Reader().Read(bytes); }

HostDrawing DrawingFromFile(const HostFile& file) {
  HostDrawing drawing;
  drawing.FileName = file.FileName;
  drawing.DrawingAngle = file.DrawingAngle;
  drawing.Bz = file.BzLines > 0;
  drawing.WorkLayerGroup = file.FirstLayerGroup.value_or(0);
  drawing.WorkLayer = file.FirstLayer.value_or(0);
  drawing.Entities = file.Entities;
  return drawing;
}

}  // namespace e2e

#include "support/interchange_generator.h"

#include <array>
#include <charconv>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Words of a title block and a floor plan, in code page 932 bytes. Several
// have a trail byte of 0x5C ('\\'), which a careless scanner splits.
constexpr std::array<std::string_view, 24> kWords = {
    "\x90\x7d\x96\xca",                  // 図面
    "\x90\xdd\x8c\x76",                  // 設計
    "\x8f\xb3\x94\x46",                  // 承認
    "\x8a\x94\x8e\xae\x89\xef\x8e\xd0",  // 株式会社
    "\x93\xfa\x95\x74",                  // 日付
    "\x8e\xda\x93\x78",                  // 尺度
    "\x96\xbc\x8f\xcc",                  // 名称
    "\x95\x94\x95\x69",                  // 部品
    "\x94\xd4\x8d\x86",                  // 番号
    "\x95\xbd\x96\xca\x90\x7d",          // 平面図
    "\x97\xa7\x96\xca\x90\x7d",          // 立面図
    "\x94\x7a\x92\x75\x90\x7d",          // 配置図
    "\x90\xa1\x96\x40",                  // 寸法
    "\x94\xf5\x8d\x6c",                  // 備考
    "\x93\x8c\x8b\x9e\x93\x73",          // 東京都
    "\x83\x5c\x83\x74\x83\x67",          // ソフト
    "\x95\x5c\x8e\xa6",                  // 表示
    "\x8b\x40\x94\x5c",                  // 機能
    "\x8e\x96\x96\xb1\x8f\x8a",          // 事務所
    "\x89\xef\x8b\x63\x8e\xba",          // 会議室
    "\x91\x71\x8c\xc9",                  // 倉庫
    "\x8a\x4b\x92\x69",                  // 階段
    "A-101",
    "1:100",
};

constexpr std::array<std::string_view, 3> kFonts = {
    "<\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E>",  // <ＭＳ ゴシック>
    "<\x82\x6C\x82\x72 \x96\xbe\x92\xa9>",                  // <ＭＳ 明朝>
    "Arial",
};

constexpr std::array<std::string_view, 10> kTextWords = {"ch", "cv", "cs", "cr", "co",
                                                         "cp", "ct", "ck", "cz", "c2"};

class Writer {
 public:
  Writer(const GeneratorOptions& options)
      : rng_(options.Seed), crlf_(options.CrLf), varied_(options.Varied) {}

  bool Varied() const { return varied_; }

  std::string& Out() { return out_; }
  std::mt19937_64& Rng() { return rng_; }

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

  // A coordinate with two decimals, as drawing units often are.
  void Number(std::int64_t hundredths) {
    if (hundredths < 0) {
      out_.push_back('-');
      hundredths = -hundredths;
    }
    Integer(hundredths / 100);
    if (const std::int64_t fraction = hundredths % 100; fraction != 0) {
      out_.push_back('.');
      out_.push_back(static_cast<char>('0' + fraction / 10));
      if (fraction % 10 != 0) out_.push_back(static_cast<char>('0' + fraction % 10));
    }
  }
  void Coordinate() { Number(Uniform(-5000000, 5000000)); }
  // A value after its separator; when varied, half of them anywhere from
  // 1e-9 to 1e15.
  void Value(std::int64_t hundredths) {
    Separator();
    if (varied_ && Chance(0.5)) return Word(WideNumber(1));
    Number(hundredths);
  }
  void CoordinateValue() { Value(Uniform(-5000000, 5000000)); }
  // A blank; when varied, now and then a run of blanks and tabs.
  void Separator() {
    constexpr std::array<std::string_view, 5> kRuns = {" ", "  ", "\t", " \t", "\t\t "};
    Word(varied_ && Chance(0.3) ? kRuns[static_cast<std::size_t>(Uniform(1, 4))] : kRuns[0]);
  }
  // A number of minDigits to 17 significant digits whose first digit stands
  // for 1e-9 to 1e15, signed or not, mostly in fixed form.
  std::string WideNumber(int minDigits) {
    const int digitCount = Uniform(minDigits, 17);
    const int exponent = Uniform(-9, 15);
    std::string digits(1, static_cast<char>('0' + Uniform(1, 9)));
    while (static_cast<int>(digits.size()) < digitCount) {
      digits.push_back(static_cast<char>('0' + Uniform(0, 9)));
    }
    std::string text = Chance(0.3) ? "-" : "";
    if (Chance(0.15)) {
      text.append(digits, 0, 1);
      if (digits.size() > 1) text.append(".").append(digits, 1);
      text.append(Chance(0.5) ? "E" : "e").append(std::to_string(exponent));
    } else if (exponent < 0) {
      text.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
    } else {
      const auto whole = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() < whole) digits.append(whole - digits.size(), '0');
      text.append(digits, 0, whole);
      if (digits.size() > whole) text.append(".").append(digits, whole);
    }
    return text;
  }
  // "lg" or "ly" with one hexadecimal digit.
  void LayerLine(std::string_view word) {
    Word(word);
    Word(std::string_view("0123456789ABCDEF").substr(static_cast<std::size_t>(Uniform(0, 15)), 1));
    EndLine();
  }
  void Integer(std::int64_t v) {
    char buffer[24];
    out_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
  }
  void Blank() { out_.push_back(' '); }
  void Word(std::string_view w) { out_.append(w); }
  void EndLine() { out_.append(crlf_ ? "\r\n" : "\n"); }
  void Line(std::string_view w) {
    Word(w);
    EndLine();
  }

 private:
  std::mt19937_64 rng_;
  bool crlf_;
  bool varied_;
  std::string out_;
};

void Header(Writer& w, const GeneratorOptions& options) {
  w.Line("file=C:\\CAD\\\x90\x7d\x96\xca\\sample 01.zmn");  // a path with a blank and 図面
  w.Line("hk 0");
  w.Word("hs");
  for (int i = 0; i < 16; ++i) w.Word(i % 3 == 0 ? " 1" : " 0.5");
  w.EndLine();
  w.Line("hzs 420 297");
  if (options.IncludeTextTypeTable) {
    const char* rows[] = {"hcw", "hch", "hcd"};
    for (const char* row : rows) {
      w.Word(row);
      for (int k = 1; k <= 10; ++k) {
        w.Value(100 * k + 50);
      }
      w.EndLine();
    }
    w.Word("hcc");
    for (int k = 1; k <= 10; ++k) {
      w.Blank();
      w.Integer(k % 9 + 1);
    }
    w.EndLine();
  }
  w.Line("hn 0 0 0 0");
}

void AttributeChanges(Writer& w) {
  if (w.Chance(0.05)) w.LayerLine("lg");
  if (w.Chance(0.10)) w.LayerLine("ly");
  if (w.Chance(0.15)) {
    if (w.Chance(0.1)) {
      w.Word("lc10 ");
      w.Integer(w.Uniform(0, 16777215));
    } else {
      w.Word("lc");
      w.Integer(w.Uniform(1, 9));
    }
    w.EndLine();
  }
  if (w.Chance(0.08)) {
    w.Word("lt");
    w.Integer(w.Uniform(1, 9));
    w.EndLine();
  }
  if (w.Chance(0.08)) {
    w.Word("lw");
    w.Integer(w.Uniform(0, 5) * 10);
    w.EndLine();
  }
  if (w.Chance(0.03)) {
    w.Word("z");
    w.Integer(w.Uniform(1, 5));
    w.EndLine();
  }
}

void TextAttributes(Writer& w) {
  if (w.Chance(0.15)) {
    if (w.Chance(0.3)) {
      w.Word("cn0 ");
      w.Number(w.Uniform(100, 900));
      w.Value(w.Uniform(100, 900));
      w.Value(w.Uniform(0, 100));
      w.Blank();
      w.Integer(w.Uniform(1, 9));
    } else {
      w.Word("cn");
      w.Integer(w.Uniform(1, 10));
    }
    w.EndLine();
  }
  if (w.Chance(0.05)) {
    w.Word("cc");
    w.Integer(w.Uniform(0, 8));
    w.EndLine();
  }
  if (w.Chance(0.05)) {
    w.Word("cn\"$");
    w.Line(kFonts[static_cast<std::size_t>(w.Uniform(0, kFonts.size() - 1))]);
  }
}

// The text content: one to four words, sometimes with a blank between. When
// varied, now and then more than a line holds (the reader cuts it at 255
// bytes), quotes and equals signs inside, or a lead byte without its second
// byte at the end.
void TextContent(Writer& w) {
  const bool varied = w.Varied();
  const int words = varied && w.Chance(0.08) ? w.Uniform(40, 70) : w.Uniform(1, 4);
  for (int i = 0; i < words; ++i) {
    if (i > 0 && w.Chance(0.2)) w.Blank();
    if (varied && w.Chance(0.03)) w.Word(w.Chance(0.5) ? "\"" : "=");
    w.Word(kWords[static_cast<std::size_t>(w.Uniform(0, kWords.size() - 1))]);
  }
  if (varied && w.Chance(0.05)) w.Word("\x90");
}

void TextLine(Writer& w, std::string_view word) {
  w.Word(word);
  w.CoordinateValue();
  w.CoordinateValue();
  w.Separator();
  w.Number(w.Uniform(1, 200));  // vector: never zero
  w.Value(w.Uniform(-200, 200));
  w.Word(" \"");
  TextContent(w);
  w.EndLine();
}

// Two distinct points as a plain line.
void PlainLine(Writer& w) {
  const std::int64_t x = w.Uniform(-5000000, 5000000);
  const std::int64_t y = w.Uniform(-5000000, 5000000);
  w.Number(x);
  w.Value(y);
  w.Value(x + w.Uniform(1, 100000));
  w.Value(y + w.Uniform(-100000, 100000));
  w.EndLine();
}

// A closed-ish outline of distinct corners: each point differs from the last.
void Points(Writer& w, int count) {
  std::int64_t x = w.Uniform(-5000000, 5000000);
  std::int64_t y = w.Uniform(-5000000, 5000000);
  for (int i = 0; i < count; ++i) {
    w.Value(x);
    w.Value(y);
    x += (i % 2 == 0) ? w.Uniform(100, 50000) : 0;
    y += (i % 2 == 1) ? w.Uniform(100, 50000) : 0;
  }
}

// An "sl" of count corners, when varied: two of them (neighbours or not)
// differ only in the 16th or 17th significant digit of x, which a write with
// 15 digits merges, or not at all.
void VariedSl(Writer& w, int count) {
  std::vector<std::pair<std::string, std::string>> corners;
  for (int i = 0; i < count; ++i) corners.emplace_back(w.WideNumber(1), w.WideNumber(1));
  if (w.Chance(0.5)) {
    const auto first = static_cast<std::size_t>(w.Uniform(0, count - 2));
    const auto second = static_cast<std::size_t>(w.Uniform(static_cast<int>(first) + 1, count - 1));
    std::string x = w.WideNumber(16);
    std::string twin = x;
    if (w.Chance(0.8))
      twin.back() = static_cast<char>('0' + (twin.back() - '0' + w.Uniform(1, 9)) % 10);
    corners[first].first = x;
    corners[second] = {twin, corners[first].second};
    if (corners[second].second.find_first_of(".eE") == std::string::npos) {
      corners[second].second += ".0";
    }
  }
  for (const auto& [x, y] : corners) {
    w.Separator();
    w.Word(x);
    w.Separator();
    w.Word(y);
  }
}

void SolidValues(Writer& w, int count) {
  // u1, u2 centre; u3 radius (positive); u4 flatness (not zero); the rest free;
  // u8 (so/sg) below u3.
  const std::int64_t radius = w.Uniform(200, 100000);
  w.CoordinateValue();
  w.CoordinateValue();
  w.Value(radius);
  w.Value(w.Uniform(10, 200));
  w.Value(w.Uniform(0, 36000));
  w.Value(w.Uniform(0, 36000));
  w.Value(w.Uniform(0, 100));
  if (count == 8) {
    w.Value(radius / 2);
  }
}

}  // namespace

GeneratedFile GenerateInterchangeFile(const GeneratorOptions& options) {
  Writer w(options);
  GeneratedFile result;
  if (options.IncludeHeader) Header(w, options);
  w.Line("lg0");
  w.Line("ly0");
  w.Line("lc1");
  w.Line("lt1");
  w.Line("lw0");
  w.Line("cn1");

  while (result.Entities < options.Entities) {
    AttributeChanges(w);
    const int pick = w.Uniform(0, 99);
    const bool textsLeft = options.MaxTexts < 0 || result.Texts < options.MaxTexts;
    if (w.Varied() && w.Chance(0.004)) {
      // A block, which cannot be written back: the join gives "hq".
      w.Word("BL");
      w.CoordinateValue();
      w.CoordinateValue();
      w.Separator();
      w.Line(kWords[static_cast<std::size_t>(w.Uniform(0, kWords.size() - 1))]);
      ++result.Entities;
    } else if (pick < 30 && textsLeft) {
      TextAttributes(w);
      TextLine(w, kTextWords[w.Chance(0.8) ? 0 : static_cast<std::size_t>(w.Uniform(1, 9))]);
      ++result.Texts;
      ++result.Entities;
    } else if (pick < 58) {
      PlainLine(w);
      ++result.Entities;
    } else if (pick < 68) {
      // A polyline of 2 to 6 segments; each segment is a line entity.
      const int segments = static_cast<int>(
          std::min<std::int64_t>(w.Uniform(2, 6), options.Entities - result.Entities));
      w.Line("pl");
      std::int64_t x = w.Uniform(-5000000, 5000000);
      std::int64_t y = w.Uniform(-5000000, 5000000);
      for (int i = 0; i < segments; ++i) {
        const std::int64_t nx = x + w.Uniform(100, 50000);
        const std::int64_t ny = y + w.Uniform(-50000, 50000);
        w.Number(x);
        w.Value(y);
        w.Value(nx);
        w.Value(ny);
        w.EndLine();
        x = nx;
        y = ny;
      }
      w.Line("#");
      result.Entities += segments;
    } else if (pick < 76) {
      w.Word("ci");
      w.CoordinateValue();
      w.CoordinateValue();
      w.Value(w.Uniform(1, 100000));
      w.EndLine();
      ++result.Entities;
    } else if (pick < 82) {
      // An arc: centre, radius, start and end angle, flatness (not zero), tilt.
      w.Word("ci");
      w.CoordinateValue();
      w.CoordinateValue();
      w.Value(w.Uniform(1, 100000));
      w.Value(w.Uniform(0, 36000));
      w.Value(w.Uniform(0, 36000));
      w.Value(w.Uniform(10, 200));
      w.Value(w.Uniform(0, 36000));
      w.EndLine();
      ++result.Entities;
    } else if (pick < 87) {
      w.Word("sl");
      if (w.Varied() && w.Chance(0.6)) {
        VariedSl(w, w.Uniform(2, 4));
      } else {
        Points(w, w.Uniform(2, 4));
      }
      w.EndLine();
      ++result.Entities;
    } else if (pick < 90) {
      const int kind = w.Uniform(0, 3);
      if (kind < 2) {
        w.Word(kind == 0 ? "sc" : "se");
        SolidValues(w, 7);
        w.Blank();
        w.Integer(w.Chance(0.5) ? 100 : 0);
      } else {
        w.Word(kind == 2 ? "so" : "sg");
        SolidValues(w, 8);
      }
      w.EndLine();
      ++result.Entities;
    } else if (pick < 95) {
      if (w.Chance(0.1)) {
        w.Word("pn");
        w.Integer(w.Uniform(1, 9));
        w.EndLine();
      }
      w.Word("pt");
      w.CoordinateValue();
      w.CoordinateValue();
      w.EndLine();
      ++result.Entities;
    } else if (pick < 97) {
      w.Word("pt");
      w.CoordinateValue();
      w.CoordinateValue();
      w.Value(w.Uniform(1, 500));
      w.Value(w.Uniform(0, 36000));
      w.Blank();
      w.Integer(w.Uniform(-7, 11));
      w.EndLine();
      ++result.Entities;
    } else {
      // A dimension: "msg", its measured line, and the "cs" text on it.
      w.Line("msg");
      PlainLine(w);
      TextLine(w, "cs");
      ++result.Entities;
    }
  }
  result.Bytes = std::move(w.Out());
  return result;
}

GeneratedFile GenerateEmptyTexts(std::int64_t n, std::uint32_t seed) {
  GeneratorOptions options;
  options.Seed = seed;
  Writer w(options);
  w.Line("cn1");
  for (std::int64_t i = 0; i < n; ++i) {
    w.Word("ch ");
    w.Coordinate();
    w.CoordinateValue();
    w.Word(" 1 0 \"");
    w.EndLine();
  }
  GeneratedFile result;
  result.Bytes = std::move(w.Out());
  result.Entities = n;
  result.Texts = n;
  return result;
}

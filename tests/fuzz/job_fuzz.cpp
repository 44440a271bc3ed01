// The whole job on any input, in memory: FormShow reads KZC_TEMP.TXT and the
// settings file from an in-memory folder, joins, emits and writes the image
// back there. The input's first line chooses the run, the rest is the file:
//
//   byte 0     bit 0: mode "2" (else "1"); bit 1: join order 1 (else 0);
//              bit 2: Escape held during the walk
//   bytes 1..  up to the first LF: the delimiter line of the settings file,
//              kept to what the dialog can hold: Shift-JIS text, so no 0xFE
//              or 0xFF and no lead byte without its second byte
//   the rest   KZC_TEMP.TXT as the host wrote it
//
// Whatever the job decides, "hq" or a join, what it leaves must be sound:
//  1. the file is there, and is "hq" alone or begins with "hd" and "bz";
//  2. it is lines ended by CR LF (a CR may stand inside a text: the host's
//     lead byte before it makes the pair part of the text);
//  3. our reader reads all of it without failure;
//  4. reading it back and emitting again gives the same entity lines, each
//     with the same attributes in force of those its re-emitter writes.
//     Attribute lines are compared by the state they give the entity lines
//     that follow, so lines no entity uses do not count: the closing layer
//     lines (they restore the layer the input began with, which the second
//     round no longer knows) and the attribute lines of an entity the
//     emitters then skipped (a blank text, a line whose ends coincide). A
//     text type outside 0..10 and a font named "" or "<>" are written as the
//     initial ones of the file read, which the second round does not share. An entity line may be
//     missing from the second round only if it shows nothing when read on
//     its own: a value that rounds onto an emitter's threshold when written
//     (a radius of 1.0000000000000001e-8 written «1E-8», two points that
//     round to within 1e-8), or an empty "pl"/"#" pair left by such a line.
//     Likewise corners of an "sl" whose written texts are equal, or read back
//     within 1e-8 of each other, are one corner in the second round, though
//     the first kept them apart: such an "sl" may come back as the shape the
//     merged corners give, the one its line gives when read on its own (two
//     or three corners where it had more, with the line width a shape of two
//     corners takes, the reader's initial one when nothing before needed the
//     first round to write one; nothing when it then shows nothing). The
//     host draws that shape from those digits too, so this is printing, not
//     a fault: «sl 999999999999999.1 5 337.1 31 999999999999999.4 5.0 146 5»
//     is written with the x values of its first and third corners both
//     «999999999999999», and comes back with three corners. The two cases
//     meet: an "sl" that shows nothing once read back may be followed by one
//     that comes back merged (a finding of the long run, kept as a seed).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "interchange/KzmGaibu.h"
#include "machine/form_window.h"
#include "machine/platform.h"
#include "memory_files.h"
#include "support/fake_platform.h"
#include "support/held_lines.h"
#include "util/number_parse.h"
#include "util/sjis.h"

namespace {

const std::string kFolder = "/k726-fuzz/";
const std::string kInterchangePath = kFolder + "KZC_TEMP.TXT";
const std::string kSettingsPath = kFolder + "k726.dat";
const std::string kRereadPath = "/k726-fuzz-reread/KZC_TEMP.TXT";

class FuzzPlatform : public Platform {
 public:
  FuzzPlatform(std::string mode, bool escape) : mode_(std::move(mode)), escape_(escape) {}
  std::vector<std::string> Arguments() override { return {mode_}; }
  std::string ExecutablePath() override { return kFolder + "k726.exe"; }
  char DecimalSymbol() override { return '.'; }
  ScreenPoint CursorPosition() override { return {0, 0}; }
  bool IsEscapeDown() override { return escape_; }

 private:
  std::string mode_;
  bool escape_;
};

class FuzzWindow : public FormWindow {
 public:
  bool Closed = false;
  void Minimise() override {}
  void MoveTo(std::int32_t, std::int32_t) override {}
  std::int32_t OuterWidth() override { return 0; }
  void SetRadioIndex(std::int32_t) override {}
  std::int32_t RadioIndex() override { return 0; }
  void SetEditText(std::string_view) override {}
  std::string EditText() override { return {}; }
  void Close() override { Closed = true; }
};

// The delimiter as Shift-JIS text. A hand-edited settings file can hold other
// bytes, which then end up in the joined text as they stand.
std::string ShiftJisText(std::string_view bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (IsLeadByte(b)) {
      if (i + 1 == bytes.size()) break;
      text += bytes.substr(i++, 2);
    } else if (b < 0xFE) {
      text += bytes[i];
    }
  }
  return text;
}

[[noreturn]] void Fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "job fuzz: %s\n", what);
  if (!detail.empty()) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(detail.size()), detail.data());
  }
  std::abort();
}

// The file's lines without their CR LF; fails on a line that ends otherwise.
std::vector<std::string_view> SplitCrLfLines(std::string_view image) {
  std::vector<std::string_view> lines;
  std::size_t at = 0;
  while (at < image.size()) {
    const std::size_t lf = image.find('\n', at);
    if (lf == std::string_view::npos || lf == at || image[lf - 1] != '\r') {
      Fail("a line does not end in CR LF", image.substr(at, 200));
    }
    lines.push_back(image.substr(at, lf - 1 - at));
    at = lf + 1;
  }
  return lines;
}

// The attribute commands the emitters write, each remembered by the reader
// until the next line of its kind. Text command words ("ch", "cs", ...) never
// begin like one of them, nor do "pt", "pl", plain lines or the solids.
enum Attribute { Lg, Ly, Lc, Lt, Lw, TextType, Cc, Font, Pn, AttributeCount };

int AttributeOf(std::string_view line) {
  const std::string_view word = line.substr(0, 2);
  if (word == "lg") return Lg;
  if (word == "ly") return Ly;
  if (word == "lc") return Lc;
  if (word == "lt") return Lt;
  if (word == "lw") return Lw;
  if (word == "cc") return Cc;
  if (word == "pn") return Pn;
  if (word == "cn") return line.substr(0, 3) == "cn\"" ? Font : TextType;
  return -1;
}

// z1..z5 are spent by the next entity line.
int ZFlagOf(std::string_view line) {
  return line.size() == 2 && line[0] == 'z' && line[1] >= '1' && line[1] <= '5' ? line[1] - '0' : 0;
}

struct EntityLine {
  std::string_view Line;
  std::array<std::string_view, AttributeCount> Attributes;
  unsigned ZFlags;
  // Every attribute in force at the line, for a shape it may come back as.
  std::array<std::string_view, AttributeCount> InForce;
};

constexpr unsigned Bit(Attribute a) { return 1u << a; }
constexpr unsigned kLayer = Bit(Lg) | Bit(Ly);
constexpr unsigned kLineAttributes = kLayer | Bit(Lc) | Bit(Lt) | Bit(Lw);
constexpr unsigned kTextAttributes = kLayer | Bit(TextType) | Bit(Cc) | Bit(Font);

bool IsTextWord(std::string_view word) {
  for (std::string_view text : {"ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"}) {
    if (word == text) return true;
  }
  return false;
}

std::size_t Blanks(std::string_view line) {
  return static_cast<std::size_t>(std::count(line.begin(), line.end(), ' '));
}

// The attributes an entity line's re-emitter writes for it, as bits. Others in
// force at that line were written for another entity and are not compared.
// inMessage: the line belongs to a message ("msg", its plain line, its "cs").
unsigned AttributesOf(std::string_view line, bool inMessage) {
  if (inMessage || line == "msg") return kLineAttributes | kTextAttributes;
  const std::string_view word = line.substr(0, line.find(' '));
  if (word == "pl" || word == "#") return 0;
  if (word == "pt") return kLayer | Bit(Pn) | Bit(Lw);
  if (word == "ci") return kLineAttributes;
  if (IsTextWord(word)) return kTextAttributes;
  const std::size_t values = Blanks(line);
  if ((word == "sl" && values == 4) || word == "se") return kLayer | Bit(Lc) | Bit(Lw);
  if (word == "sl" || word == "sc" || word == "so" || word == "sg") return kLayer | Bit(Lc);
  return kLineAttributes;  // a plain line
}

// Every line that is not an attribute, with the attributes its re-emitter
// writes as they are in force there; the leading "hd" and "bz" lines are left
// out.
std::vector<EntityLine> EntityLines(const std::vector<std::string_view>& lines) {
  std::vector<EntityLine> entities;
  std::array<std::string_view, AttributeCount> current{};
  unsigned zFlags = 0;
  int messageLines = 0;  // lines of a message still to come after its "msg"
  std::size_t i = 0;
  while (i < lines.size() && (lines[i] == kCommandDelete || lines[i] == kCommandBz)) ++i;
  for (; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (const int attribute = AttributeOf(line); attribute >= 0) {
      current[static_cast<std::size_t>(attribute)] = line;
    } else if (const int z = ZFlagOf(line); z > 0) {
      zFlags |= 1u << z;
    } else {
      const unsigned wanted = AttributesOf(line, messageLines > 0);
      messageLines = line == "msg" ? 2 : messageLines > 0 ? messageLines - 1 : 0;
      EntityLine entity{line, {}, wanted == 0 ? 0 : zFlags, current};
      for (std::size_t a = 0; a < AttributeCount; ++a) {
        if (wanted & (1u << a)) entity.Attributes[a] = current[a];
      }
      entities.push_back(entity);
      if (wanted != 0) zFlags = 0;
    }
  }
  return entities;
}

// The image of the lines read alone and emitted. Changes the whole state.
std::string EmittedAlone(const std::vector<EntityLine>& lines, std::size_t first,
                         std::size_t count) {
  ResetInterchangeState();
  for (std::size_t i = first; i < first + count; ++i) ParseInterchangeLine(lines[i].Line);
  ResetEmitState();
  HeldLines held;
  EscapeNeverDown up;
  EmitStoredEntities(kOwnAttributes, up);
  return held.Image();
}

bool IsBracketOrQuit(std::string_view line) {
  return line == "pl" || line == "#" || line == kCommandQuit;
}

// True when nothing but attribute lines and "pl"/"#" brackets comes out of
// the lines read alone.
bool ShowsNothingReadAlone(const std::vector<EntityLine>& lines, std::size_t first,
                           std::size_t count) {
  const std::string image = EmittedAlone(lines, first, count);
  for (const EntityLine& e : EntityLines(SplitCrLfLines(image))) {
    if (!IsBracketOrQuit(e.Line)) return false;
  }
  return true;
}

// An "sl" line read alone comes out with fewer corners: two of its corners,
// apart as the first round had them, are one as written. Then merged holds
// the line that comes out.
bool CornersMergeReadAlone(const std::vector<EntityLine>& lines, std::size_t i,
                           std::string& merged) {
  if (lines[i].Line.substr(0, 3) != "sl ") return false;
  const std::string image = EmittedAlone(lines, i, 1);
  std::vector<std::string_view> out;
  for (const EntityLine& e : EntityLines(SplitCrLfLines(image))) {
    if (!IsBracketOrQuit(e.Line)) out.push_back(e.Line);
  }
  if (out.size() != 1 || out[0].substr(0, 3) != "sl " || Blanks(out[0]) >= Blanks(lines[i].Line)) {
    return false;
  }
  merged = out[0];
  return true;
}

// A text type outside 0..10 and a font named "" or "<>" are written as the
// initial ones, which come from the first "cn" lines of the file read; the
// second round reads another file, so its initial ones may differ.
bool TakesInitialValue(int attribute, std::string_view line) {
  if (attribute == Font) return line == "cn\"$" || line == "cn\"$<>";
  if (attribute != TextType) return false;
  const std::string_view type = line.substr(2, line.find(' ') - 2);
  const int value = StrToIntOrZero(type);
  return value < 0 || value > 10;
}

bool SameEntity(const EntityLine& first, const EntityLine& second) {
  if (first.Line != second.Line || first.ZFlags != second.ZFlags) return false;
  for (std::size_t a = 0; a < AttributeCount; ++a) {
    if (first.Attributes[a] != second.Attributes[a] &&
        !TakesInitialValue(static_cast<int>(a), first.Attributes[a])) {
      return false;
    }
  }
  return true;
}

std::string Describe(const std::vector<EntityLine>& lines, std::size_t i) {
  if (i >= lines.size()) return "(end)";
  std::string text(lines[i].Line);
  for (std::string_view a : lines[i].Attributes) (text += " | ") += a;
  return text + " | z" + std::to_string(lines[i].ZFlags);
}

// Whether the entity line first[i] comes back as other: the same, or an "sl"
// as the shape its merged corners give.
bool ComesBackAs(const std::vector<EntityLine>& first, std::size_t i, const EntityLine& other) {
  if (SameEntity(first[i], other)) return true;
  std::string merged;
  if (!CornersMergeReadAlone(first, i, merged)) return false;
  // Two corners take a line width, more do not. One the first round never
  // wrote, as nothing before needed it, is the reader's initial one, which
  // the second round writes as it likes.
  EntityLine shape = first[i];
  shape.Line = merged;
  const unsigned wanted = AttributesOf(merged, false);
  for (std::size_t a = 0; a < AttributeCount; ++a) {
    const std::string_view inForce = first[i].InForce[a];
    shape.Attributes[a] = (wanted & (1u << a)) == 0 ? std::string_view()
                          : inForce.empty()         ? other.Attributes[a]
                                                    : inForce;
  }
  return SameEntity(shape, other);
}

// first must come back as second (ComesBackAs), except for runs of lines of
// first that show nothing when read alone (a message is three lines, and
// several empty "pl"/"#" pairs may stand in a row), before a line that comes
// back.
void CompareRounds(std::string_view firstImage, std::string_view secondImage) {
  const std::vector<EntityLine> first = EntityLines(SplitCrLfLines(firstImage));
  const std::vector<EntityLine> second = EntityLines(SplitCrLfLines(secondImage));
  std::size_t i = 0;
  std::size_t k = 0;
  while (i < first.size() || k < second.size()) {
    if (i < first.size() && k < second.size() && ComesBackAs(first, i, second[k])) {
      ++i, ++k;
      continue;
    }
    // The run may be followed by a merged "sl" as well as by a line as it was.
    bool skipped = false;
    for (std::size_t run = 1; i + run <= first.size() && !skipped; ++run) {
      const std::size_t next = i + run;
      const bool realigns =
          k == second.size() ? true : next < first.size() && ComesBackAs(first, next, second[k]);
      if (realigns && ShowsNothingReadAlone(first, i, run)) {
        i = next;
        skipped = true;
      }
    }
    if (!skipped) {
      Fail("reading the output back and emitting it again differs",
           "first round:  " + Describe(first, i) + "\nsecond round: " + Describe(second, k) +
               "\n---- first round\n" + std::string(firstImage.substr(0, 4000)) +
               "---- second round\n" + std::string(secondImage.substr(0, 4000)));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t lf = input.find('\n');
  const std::string_view options = input.substr(0, lf);
  const std::string_view file =
      lf == std::string_view::npos ? std::string_view() : input.substr(lf + 1);
  const unsigned flags = options.empty() ? 0u : static_cast<unsigned char>(options[0]);
  const std::string delimiter = ShiftJisText(options.empty() ? options : options.substr(1));

  ClearMemoryFiles();
  PutMemoryFile(kInterchangePath, file);
  PutMemoryFile(kSettingsPath, std::string(flags & 2 ? "1" : "0") + "\r\n" + delimiter + "\r\n");
  FuzzPlatform platform(flags & 1 ? "2" : "1", (flags & 4) != 0);
  FuzzWindow window;
  TForm1 form(platform, window);
  form.FormShow(nullptr);

  if (!window.Closed) Fail("the join did not close the form");
  const std::string* written = FindMemoryFile(kInterchangePath);
  if (written == nullptr) Fail("no interchange file after the job");
  const std::string first = *written;
  const std::vector<std::string_view> lines = SplitCrLfLines(first);
  const bool quit = lines.size() == 1 && lines[0] == kCommandQuit;
  if (!quit && (lines.size() < 2 || lines[0] != kCommandDelete || lines[1] != kCommandBz)) {
    Fail("the file is neither \"hq\" nor begins with \"hd\" and \"bz\"",
         std::string_view(first).substr(0, 200));
  }

  ResetInterchangeState();
  PutMemoryFile(kRereadPath, first);
  if (!ReadInterchangeFile(kRereadPath)) Fail("our reader fails on the output", first);
  if (!quit) {
    ResetEmitState();
    HeldLines held;
    EscapeNeverDown up;
    EmitStoredEntities(kOwnAttributes, up);
    const std::string second = held.Image();
    CompareRounds(first, second);
  }
  ResetInterchangeState();
  return 0;
}

#include "support/held_lines.h"

#include "interchange/image_renderer.h"
#include "interchange/output_lines.h"

HeldLines::HeldLines() {
  OutputLines.Attach(nullptr);
  OutputLines.Clear();
  OutputLines.Attach(this);
}

HeldLines::~HeldLines() { OutputLines.Attach(nullptr); }

bool HeldLines::TakeBack(int count) {
  if (count < 0 || static_cast<std::size_t>(count) > lines_.size()) return false;
  lines_.resize(lines_.size() - static_cast<std::size_t>(count));
  return true;
}

std::string HeldLines::Image() const {
  class StringSink final : public ImageSink {
   public:
    bool Write(std::string_view piece) override {
      image.append(piece);
      return true;
    }
    bool Restart() override {
      image.clear();
      return true;
    }
    std::string image;
  } sink;
  char buffer[4 * ImageRenderer::kMinCapacity];
  ImageRenderer renderer(buffer, sizeof buffer, sink);
  for (const std::string& line : lines_) renderer.Put(line);
  renderer.Finish();
  return std::move(sink.image);
}

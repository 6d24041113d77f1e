// Build-time tool: packs the part of the background picture that the editor
// window shows into runs of colour, written as C++ source, so that the window
// draws its background without decoding a PNG at start-up.
//   pack_background PICTURE WIDTH HEIGHT OUTPUT.cpp
// Each row is a list of runs, a run one 16-bit number: its length in pixels
// times 32 plus its colour's index in a palette of at most 32 colours.
#include <QFile>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: pack_background PICTURE WIDTH HEIGHT OUTPUT.cpp\n");
    return 2;
  }
  const QImage picture(QString::fromLocal8Bit(argv[1]));
  const int width = std::atoi(argv[2]);
  const int height = std::atoi(argv[3]);
  if (picture.isNull() || picture.width() < width || picture.height() < height || width > 2047) {
    std::fprintf(stderr, "pack_background: %s is not a picture of at least %dx%d\n", argv[1], width, height);
    return 1;
  }
  const QImage shown = picture.copy(0, 0, width, height).convertToFormat(QImage::Format_RGB32);

  std::vector<quint32> palette;
  std::vector<quint32> rowStart;
  std::vector<quint16> runs;
  auto colourIndex = [&](quint32 colour) {
    for (std::size_t i = 0; i < palette.size(); ++i)
      if (palette[i] == colour)
        return static_cast<int>(i);
    palette.push_back(colour);
    return static_cast<int>(palette.size() - 1);
  };
  for (int y = 0; y < height; ++y) {
    rowStart.push_back(static_cast<quint32>(runs.size()));
    const auto* line = reinterpret_cast<const quint32*>(shown.constScanLine(y));
    for (int x = 0; x < width;) {
      int end = x + 1;
      while (end < width && line[end] == line[x])
        ++end;
      const int index = colourIndex(line[x]);
      if (index >= 32) {
        std::fprintf(stderr, "pack_background: %s has more than 32 colours\n", argv[1]);
        return 1;
      }
      runs.push_back(static_cast<quint16>((end - x) * 32 + index));
      x = end;
    }
  }
  rowStart.push_back(static_cast<quint32>(runs.size()));

  QFile out(QString::fromLocal8Bit(argv[4]));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    std::fprintf(stderr, "pack_background: cannot write %s\n", argv[4]);
    return 1;
  }
  QByteArray text = "// Made by pack_background from the background picture at build time.\n"
                    "#include \"gui/editor/MapBackground.h\"\n\nnamespace map_background {\n";
  text += "extern const int kWidth = " + QByteArray::number(width) + ";\n";
  text += "extern const int kHeight = " + QByteArray::number(height) + ";\n";
  auto array = [&](const char* declaration, const auto& values) {
    text += declaration;
    text += " = {";
    for (std::size_t i = 0; i < values.size(); ++i)
      text += (i % 16 ? "," : ",\n") + QByteArray::number(values[i]);
    text += "};\n";
  };
  array("extern const quint32 kPalette[]", palette);
  array("extern const quint32 kRowStart[]", rowStart);
  array("extern const quint16 kRuns[]", runs);
  text += "} // namespace map_background\n";
  text.replace("{,\n", "{\n");
  if (out.write(text) != text.size())
    return 1;
  return 0;
}

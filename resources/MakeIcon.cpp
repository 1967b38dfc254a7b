// Renders the program icon from its SVG source into the images the build ships:
//   OUTPUT-DIR/<n>x<n>/vorlo-player.png  for n = 32, 48, 64
//   OUTPUT-DIR/vorlo-player.ico          the same three images in one icon file
//   OUTPUT-DIR/<n>x<n>/vorlo-player.png  for n = 128, 256, for large desktop icons
// The three small images have 256 colours through a palette and a 1-bit transparency:
// each pixel is either fully opaque or fully transparent. The large ones keep full colour
// and smooth, partly transparent edges, as desktops show icons that big.
//
// Usage: vorlo-make-icon SOURCE.svg OUTPUT-DIR

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr std::array kSizes{32, 48, 64};
constexpr std::array kLargeSizes{128, 256};
constexpr int kPaletteSize = 256;
constexpr const char* kIconName = "vorlo-player";

constexpr int kHalfCovered = 128;

// A group of opaque pixels that will share one palette entry.
using Box = std::vector<QPoint>;

int Channel(QRgb colour, int channel)
{
    return channel == 0 ? qRed(colour) : channel == 1 ? qGreen(colour) : qBlue(colour);
}

// The channel in which the box's colours spread furthest, and that spread.
std::pair<int, int> WidestChannel(const QImage& image, const Box& box)
{
    std::pair<int, int> widest{0, -1};
    for (int channel = 0; channel < 3; ++channel) {
        int low = 255;
        int high = 0;
        for (const QPoint& p : box) {
            const int value = Channel(image.pixel(p), channel);
            low = std::min(low, value);
            high = std::max(high, value);
        }
        if (high - low > widest.second)
            widest = {channel, high - low};
    }
    return widest;
}

QRgb MeanColour(const QImage& image, const Box& box)
{
    long sum[3] = {0, 0, 0};
    for (const QPoint& p : box) {
        for (int channel = 0; channel < 3; ++channel)
            sum[channel] += Channel(image.pixel(p), channel);
    }
    const auto mean = [&](int channel) { return static_cast<int>((sum[channel] + static_cast<long>(box.size()) / 2) / static_cast<long>(box.size())); };
    return qRgb(mean(0), mean(1), mean(2));
}

// Median cut: the box with the widest spread of colours is split at its median until there
// is one box for each palette entry left after the transparent one, or nothing to split.
QImage ToPalette(const QImage& image)
{
    std::vector<Box> boxes(1);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0)
                boxes.front().emplace_back(x, y);
        }
    }
    while (static_cast<int>(boxes.size()) < kPaletteSize - 1) {
        auto widest = boxes.end();
        std::pair<int, int> spread{0, 0};
        for (auto box = boxes.begin(); box != boxes.end(); ++box) {
            const auto candidate = WidestChannel(image, *box);
            if (box->size() > 1 && candidate.second > spread.second) {
                widest = box;
                spread = candidate;
            }
        }
        if (widest == boxes.end())
            break;
        const auto middle = widest->begin() + static_cast<std::ptrdiff_t>(widest->size() / 2);
        std::nth_element(widest->begin(), middle, widest->end(), [&](const QPoint& a, const QPoint& b) {
            return Channel(image.pixel(a), spread.first) < Channel(image.pixel(b), spread.first);
        });
        Box upper(middle, widest->end());
        widest->erase(middle, widest->end());
        boxes.push_back(std::move(upper));
    }

    std::erase_if(boxes, [](const Box& box) { return box.empty(); });
    QList<QRgb> table{qRgba(0, 0, 0, 0)};  // entry 0: transparent
    for (const Box& box : boxes)
        table.push_back(MeanColour(image, box));
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(table);
    indexed.fill(0);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (const QPoint& p : boxes[i])
            indexed.setPixel(p, static_cast<uint>(i + 1));
    }
    return indexed;
}

// Draws the source at the given size in full colour with its smooth edges.
QImage Render(QSvgRenderer& source, int size)
{
    QImage canvas(size, size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    source.render(&painter);
    return canvas;
}

// Draws the source at the given size and reduces it to a palette of at most 256 colours.
// A pixel at least half covered becomes opaque in its own colour, any other transparent.
QImage RenderIndexed(QSvgRenderer& source, int size)
{
    QImage canvas = Render(source, size);
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int x = 0; x < size; ++x)
            line[x] = qAlpha(line[x]) >= kHalfCovered ? (line[x] | 0xFF000000u) : qRgba(0, 0, 0, 0);
    }
    return ToPalette(canvas);
}

void AppendLittleEndian(QByteArray& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

int PaddedRowBytes(int bits) { return ((bits + 31) / 32) * 4; }

bool IsTransparent(const QImage& image, int x, int y) { return qAlpha(image.color(image.pixelIndex(x, y))) == 0; }

// One image of an icon file: a bitmap header of twice the height (the colour rows, then
// the mask rows), a 256-entry palette, the colour indices and the AND mask, rows from the
// bottom up. Transparent pixels carry a black index, so the mask alone decides them.
QByteArray IconImage(const QImage& image)
{
    const int size = image.width();
    const int colourRow = PaddedRowBytes(size * 8);
    const int maskRow = PaddedRowBytes(size);
    const QList<QRgb> table = image.colorTable();
    std::vector<QRgb> palette(table.begin(), table.end());
    palette.resize(kPaletteSize, qRgba(0, 0, 0, 0));
    int black = 0;
    for (int i = 0; i < kPaletteSize; ++i) {
        if (qAlpha(palette[i]) == 0)
            palette[i] = qRgba(0, 0, 0, 0);
        if ((palette[i] & 0xFFFFFF) == 0)
            black = i;
    }

    QByteArray out;
    AppendLittleEndian(out, 40, 4);                                    // header size
    AppendLittleEndian(out, static_cast<std::uint32_t>(size), 4);      // width
    AppendLittleEndian(out, static_cast<std::uint32_t>(2 * size), 4);  // colour and mask rows
    AppendLittleEndian(out, 1, 2);                                     // planes
    AppendLittleEndian(out, 8, 2);                                     // bits per pixel
    AppendLittleEndian(out, 0, 4);                                     // uncompressed
    AppendLittleEndian(out, static_cast<std::uint32_t>((colourRow + maskRow) * size), 4);
    AppendLittleEndian(out, 0, 4);
    AppendLittleEndian(out, 0, 4);
    AppendLittleEndian(out, kPaletteSize, 4);
    AppendLittleEndian(out, 0, 4);
    for (const QRgb colour : palette) {
        out.append(static_cast<char>(qBlue(colour)));
        out.append(static_cast<char>(qGreen(colour)));
        out.append(static_cast<char>(qRed(colour)));
        out.append('\0');
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < size; ++x)
            row[x] = static_cast<char>(IsTransparent(image, x, y) ? black : image.pixelIndex(x, y));
        out.append(row);
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < size; ++x) {
            if (IsTransparent(image, x, y))
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

// The icon file: its directory, one entry per image, then the images.
QByteArray IconFile(const std::vector<QImage>& images)
{
    constexpr int kDirectoryBytes = 6;
    constexpr int kEntryBytes = 16;
    std::vector<QByteArray> bodies;
    for (const QImage& image : images)
        bodies.push_back(IconImage(image));

    QByteArray out;
    AppendLittleEndian(out, 0, 2);
    AppendLittleEndian(out, 1, 2);  // an icon, not a cursor
    AppendLittleEndian(out, static_cast<std::uint32_t>(images.size()), 2);
    std::uint32_t offset = kDirectoryBytes + kEntryBytes * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        AppendLittleEndian(out, static_cast<std::uint32_t>(images[i].width()), 1);
        AppendLittleEndian(out, static_cast<std::uint32_t>(images[i].height()), 1);
        AppendLittleEndian(out, 0, 1);  // 0: 256 colours or more
        AppendLittleEndian(out, 0, 1);
        AppendLittleEndian(out, 1, 2);  // planes
        AppendLittleEndian(out, 8, 2);  // bits per pixel
        AppendLittleEndian(out, static_cast<std::uint32_t>(bodies[i].size()), 4);
        AppendLittleEndian(out, offset, 4);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const QByteArray& body : bodies)
        out.append(body);
    return out;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE.svg OUTPUT-DIR\n", argv[0]);
        return 2;
    }
    QSvgRenderer source{QString::fromLocal8Bit(argv[1])};
    if (!source.isValid()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[2]));
    const auto savePng = [&](const QImage& image) {
        const QString folder = QStringLiteral("%1x%1").arg(image.width());
        const QString png = output.filePath(folder + '/' + kIconName + ".png");
        if (output.mkpath(folder) && image.save(png, "PNG"))
            return true;
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(png));
        return false;
    };
    std::vector<QImage> images;
    for (const int size : kSizes) {
        images.push_back(RenderIndexed(source, size));
        if (!savePng(images.back()))
            return 1;
    }
    for (const int size : kLargeSizes) {
        if (!savePng(Render(source, size)))
            return 1;
    }
    const QString ico = output.filePath(QString(kIconName) + ".ico");
    if (!WriteFile(ico, IconFile(images))) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(ico));
        return 1;
    }
    return 0;
}

#include "bench/DecoderBench.h"

#include "bench/PairedRatio.h"
#include "bench/PngDecoders.h"
#include "bench/RoundTripBench.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace nebulo {
namespace {

constexpr int Side = 2023;

QByteArray FileBytes(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

// The round-trip check's picture, made the same way by ImageMagick.
QByteArray EndToEndPng()
{
    QTemporaryDir Folder;
    const QString Path = Folder.filePath("in.png");
    QProcess Convert;
    Convert.start("convert", {"-seed", "7", "-size", "2023x2023", "gradient:#2040c0-#f0c040", "-attenuate", "0.5",
                              "+noise", "Gaussian", "-depth", "8", "-define", "png:color-type=2", Path});
    if (!Convert.waitForFinished(60000) || Convert.exitCode() != 0)
        return {};
    return FileBytes(Path);
}

// Every byte drawn at random: nothing for the filters or deflate to find.
QByteArray NoisePng()
{
    QImage Picture(Side, Side, QImage::Format_RGB32);
    std::mt19937 Random(Side);
    for (int Y = 0; Y < Side; ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Picture.scanLine(Y));
        for (int X = 0; X < Side; ++X)
            Line[X] = 0xFF000000u | (Random() & 0xFFFFFF);
    }
    return QtPng(Picture);
}

// What a screenshot holds: flat panels, lines of text, a few gradients and
// a photograph in a window.
QByteArray ScreenPng()
{
    QImage Screen(1920, 1080, QImage::Format_RGB32);
    Screen.fill(QColor(46, 52, 64));
    std::mt19937 Random(1080);
    QPainter Painter(&Screen);
    for (int Window = 0; Window < 5; ++Window) {
        const QRect Frame(60 + Window * 300, 40 + Window * 150, 900, 600);
        Painter.fillRect(Frame, QColor(236, 239, 244));
        QLinearGradient Title(Frame.topLeft(), Frame.topRight());
        Title.setColorAt(0, QColor(94, 129, 172));
        Title.setColorAt(1, QColor(136, 192, 208));
        Painter.fillRect(QRect(Frame.topLeft(), QSize(Frame.width(), 28)), Title);
        Painter.setPen(Qt::black);
        for (int Line = 0; Line < 30; ++Line)
            Painter.drawText(Frame.left() + 12, Frame.top() + 50 + 18 * Line,
                             QString("Line %1 of window %2: the quick brown fox jumps over the lazy dog %3")
                                 .arg(Line)
                                 .arg(Window)
                                 .arg(Random() % 100000));
    }
    std::normal_distribution<double> Grain(0, 10);
    for (int Y = 700; Y < 1000; ++Y)
        for (int X = 1300; X < 1800; ++X) {
            const int Shade = std::clamp(int(80 + (X - 1300) / 4 + Grain(Random)), 0, 255);
            Screen.setPixel(X, Y, qRgb(Shade, std::clamp(Shade + 30, 0, 255), 255 - Shade));
        }
    Painter.end();
    return QtPng(Screen);
}

// How a decoder's picture compares with Qt's, both as 8-bit RGBA.
std::string Agreement(const QImage& Qt, const QImage& Other)
{
    if (Qt.isNull() || Other.isNull())
        return Qt.isNull() == Other.isNull() ? "refuses as Qt does"
               : Qt.isNull()                 ? "decodes what Qt refuses"
                                             : "refuses";
    if (Qt.size() != Other.size())
        return "another size";
    const QImage Mine = Qt.convertToFormat(QImage::Format_RGBA8888);
    const QImage Theirs = Other.convertToFormat(QImage::Format_RGBA8888);
    long Differing = 0;
    long Unseen = 0; // only in the colour under a fully transparent pixel
    int Largest = 0;
    for (int Y = 0; Y < Mine.height(); ++Y) {
        const uchar* A = Mine.constScanLine(Y);
        const uchar* B = Theirs.constScanLine(Y);
        for (int X = 0; X < Mine.width(); ++X, A += 4, B += 4) {
            if (std::memcmp(A, B, 4) == 0)
                continue;
            if (A[3] == 0 && B[3] == 0) {
                ++Unseen;
                continue;
            }
            ++Differing;
            for (int C = 0; C < 4; ++C)
                Largest = std::max(Largest, std::abs(A[C] - B[C]));
        }
    }
    std::string Text = Differing == 0
                           ? "same"
                           : std::to_string(Differing) + " pixels differ, by at most " + std::to_string(Largest);
    if (Unseen > 0)
        Text += " (" + std::to_string(Unseen) + " fully transparent ones in another colour)";
    return Text;
}

struct TPicture {
    std::string Name;
    QByteArray Png;
};

// The conformance files: every PNG in the folders NEBULO_PNG_SUITE names
// (separated by colons), by default those Debian's Go sources carry.
std::vector<TPicture> SuitePictures()
{
    QString Folders = qEnvironmentVariable("NEBULO_PNG_SUITE");
    if (Folders.isEmpty())
        Folders = "/usr/share/go-1.19/src/image/png/testdata/pngsuite:/usr/share/go-1.19/src/image/png/testdata";
    std::vector<TPicture> Pictures;
    for (const QString& Folder : Folders.split(':', Qt::SkipEmptyParts))
        for (const QFileInfo& File : QDir(Folder).entryInfoList({"*.png"}, QDir::Files, QDir::Name))
            Pictures.push_back({File.fileName().toStdString(), FileBytes(File.filePath())});
    return Pictures;
}

void ReportAgreement(const std::vector<TPicture>& Pictures)
{
    for (const TPicture& Picture : Pictures) {
        const QImage Qt = PngDecoders().front().Decode(Picture.Png);
        std::string Line = "decoders on " + Picture.Name + ":";
        for (size_t D = 1; D < PngDecoders().size(); ++D)
            Line += std::string(D == 1 ? " " : "; ") + PngDecoders()[D].Name + " "
                    + Agreement(Qt, PngDecoders()[D].Decode(Picture.Png));
        std::fprintf(stderr, "%s\n", Line.c_str());
    }
}

} // namespace

void RegisterDecoderStudy()
{
    static std::vector<TPicture> Timed;
    const std::string Source = NEBULO_SOURCE_DIR;
    const std::pair<const char*, QByteArray> Candidates[] = {
        {"e2e", EndToEndPng()},
        {"noise", NoisePng()},
        {"screen", ScreenPng()},
        {"screenshot", FileBytes(QString::fromStdString(Source + "/packaging/screenshot.png"))},
        {"sample16", FileBytes(QString::fromStdString(Source + "/resources/samples/sample.png"))},
    };
    for (const auto& [Name, Png] : Candidates) {
        if (Png.isEmpty())
            std::fprintf(stderr, "nebulo-bench: the %s picture could not be made; it is not timed\n", Name);
        else
            Timed.push_back({Name, Png});
    }
    ReportAgreement(Timed);
    ReportAgreement(SuitePictures());

    for (const TPicture& Picture : Timed)
        for (size_t D = 1; D < PngDecoders().size(); ++D) {
            const TPngDecoder Other = PngDecoders()[D];
            const std::string Name = "Ratio/Decode_Qt_over_" + std::string(Other.Name) + "/" + Picture.Name;
            const QByteArray& Png = Picture.Png;
            benchmark::RegisterBenchmark(
                Name.c_str(),
                [&Png, Other](benchmark::State& State) {
                    Paired(
                        State, [&] { benchmark::DoNotOptimize(PngDecoders().front().Decode(Png)); },
                        [&] { benchmark::DoNotOptimize(Other.Decode(Png)); });
                })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(Png.size() > 1'000'000 ? 9 : 101)
                ->UseManualTime();
        }
}

} // namespace nebulo

#include "bench/RoundTripBench.h"

#include "bench/PairedRatio.h"
#include "blur/BlurCommand.h"
#include "dib/SDIB.h"
#include "pictureio/ArrivingBytes.h"
#include "pictureio/IncomingPicture.h"
#include "pictureio/PictureBytes.h"
#include "pictureio/PngEncoder.h"
#include "toolkit/core/Bitmap.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <random>

namespace nebulo {

QByteArray QtPng(const QImage& Picture)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Picture.save(&Buffer, "PNG");
    return Bytes;
}

namespace {

constexpr int Side = 2023;

// What a person pastes: two gradients with grain, as Qt writes it by default.
const QByteArray& PastedPng()
{
    static const QByteArray Png = [] {
        QImage Picture(Side, Side, QImage::Format_RGB32);
        std::mt19937 Random(Side);
        std::normal_distribution<double> Grain(0, 12);
        auto Channel = [&](int Base) { return std::clamp(int(Base + Grain(Random)), 0, 255); };
        for (int Y = 0; Y < Side; ++Y)
            for (int X = 0; X < Side; ++X)
                Picture.setPixel(X, Y, qRgb(Channel(40 + X * 200 / Side), Channel(60 + Y * 180 / Side), Channel(150)));
        return QtPng(Picture);
    }();
    return Png;
}

// Nebulo's road: Qt's reader, the picture made ready as a paste makes it,
// the Blur command, our encoder. Returns the PNG's size.
qsizetype NebuloRoundTrip(int Position)
{
    TBitmap Picture;
    Picture.SetImage(PrepareIncomingPicture(QImage::fromData(PastedPng(), "PNG")).Pixels);
    TSDIB Surface;
    RunBlurSteps(Picture, Surface, Position, false);
    return EncodePng(Picture.Image()).size();
}

// Qt's road as the window went before: the picture at 32 bits, the Blur
// command, Qt's default writer on the 32-bit copy.
qsizetype QtRoundTrip(int Position)
{
    TBitmap Picture;
    Picture.SetImage(QImage::fromData(PastedPng(), "PNG"));
    TSDIB Surface;
    RunBlurSteps(Picture, Surface, Position, false);
    return QtPng(Picture.ToRgb32()).size();
}

void RoundTripQtOverNebulo(benchmark::State& State)
{
    const int Position = int(State.range(0));
    qsizetype QtSize = 0;
    qsizetype NebuloSize = 0;
    Paired(State, [&] { QtSize = QtRoundTrip(Position); }, [&] { NebuloSize = NebuloRoundTrip(Position); });
    State.counters["size_ratio"] = double(NebuloSize) / double(QtSize);
}

// The blurred picture once, then each side's encoder or reader on it.
QImage Blurred(int Position)
{
    TBitmap Picture;
    Picture.SetImage(QImage::fromData(PastedPng(), "PNG"));
    TSDIB Surface;
    RunBlurSteps(Picture, Surface, Position, false);
    return Picture.ToRgb32();
}

void EncodeQtOverNebulo(benchmark::State& State)
{
    const QImage Picture = Blurred(int(State.range(0)));
    Paired(State, [&] { benchmark::DoNotOptimize(QtPng(Picture)); },
           [&] { benchmark::DoNotOptimize(EncodePng(Picture)); });
}

// Each phase of the round trip against the same phase through plain Qt.

// Paste: the clipboard's bytes to the picture the view shows; Qt's reader
// alone against Nebulo's road (checks, libpng's progressive reader straight
// into the picture shown).
void PasteQtOverNebulo(benchmark::State& State)
{
    Paired(
        State, [&] { benchmark::DoNotOptimize(QImage::fromData(PastedPng(), "PNG")); },
        [&] { benchmark::DoNotOptimize(PrepareIncomingPicture(DecodePictureBytes(PastedPng())).Pixels); });
}

// Paste in pieces: the bytes come in pieces of 1 MB, as xclip sends them.
// Qt's side gathers them and then reads the whole; Nebulo's takes them into
// room taken once and decodes them on a thread of its own meanwhile.
void PasteInPiecesQtOverNebulo(benchmark::State& State)
{
    constexpr qsizetype Piece = qsizetype(1) << 20;
    const QByteArray& Png = PastedPng();
    Paired(
        State,
        [&] {
            QByteArray Gathered;
            for (qsizetype At = 0; At < Png.size(); At += Piece)
                Gathered.append(Png.constData() + At, std::min(Piece, Png.size() - At));
            benchmark::DoNotOptimize(QImage::fromData(Gathered, "PNG"));
        },
        [&] {
            TPictureStream Decoder;
            TArrivingBytes Arriving([&](const char* SoFar, qsizetype Size) { Decoder.Arrived(SoFar, Size); });
            for (qsizetype At = 0; At < Png.size(); At += Piece)
                Arriving.Append(Png.constData() + At, std::min(Piece, Png.size() - At));
            benchmark::DoNotOptimize(PrepareIncomingPicture(Decoder.Finish(Arriving.Close())).Pixels);
        });
}

// The pasted picture as the view holds it.
TBitmap& PastedPicture()
{
    static TBitmap Picture;
    if (Picture.Empty())
        Picture.SetImage(PrepareIncomingPicture(QImage::fromData(PastedPng(), "PNG")).Pixels);
    return Picture;
}

// Surface: the picture as a BMP file in memory; Qt's BMP writer against the
// surface taking it, as the Blur command does, into the surface it keeps.
void SurfaceQtOverNebulo(benchmark::State& State)
{
    TSDIB Surface;
    Paired(
        State,
        [&] {
            QByteArray Bmp;
            QBuffer Buffer(&Bmp);
            Buffer.open(QIODevice::WriteOnly);
            PastedPicture().Image().save(&Buffer, "BMP");
        },
        [&] { HandPictureToSurface(PastedPicture(), Surface, 200, false); });
}

// Back: the BMP file to a picture; Qt's BMP reader against the bitmap's.
void BackQtOverNebulo(benchmark::State& State)
{
    TSDIB Surface;
    HandPictureToSurface(PastedPicture(), Surface, 200, false);
    const QByteArray Bmp(reinterpret_cast<const char*>(Surface.DIBFile().Memory()), Surface.DIBFile().Size());
    TBitmap Picture;
    Paired(
        State, [&] { benchmark::DoNotOptimize(QImage::fromData(Bmp, "BMP")); },
        [&] { TakePictureFromSurface(Surface, Picture); });
}

// Qt's reader on its own PNG against the same reader on ours.
void DecodeQtsOverOurs(benchmark::State& State)
{
    const QImage Picture = Blurred(int(State.range(0)));
    const QByteArray Theirs = QtPng(Picture);
    const QByteArray Ours = EncodePng(Picture);
    Paired(State, [&] { benchmark::DoNotOptimize(QImage::fromData(Theirs, "PNG")); },
           [&] { benchmark::DoNotOptimize(QImage::fromData(Ours, "PNG")); });
}

} // namespace

void RegisterRoundTrip()
{
    auto Pairwise = [](const char* Name, auto Function, int Iterations) {
        auto* Bench = benchmark::RegisterBenchmark(Name, Function);
        for (int Position : {50, 100, 200})
            Bench->Arg(Position);
        Bench->ArgName("position")->Unit(benchmark::kMillisecond)->Iterations(Iterations)->UseManualTime();
    };
    Pairwise("Ratio/RoundTrip_Qt_over_Nebulo", RoundTripQtOverNebulo, 5);
    auto Phase = [](const char* Name, auto Function) {
        benchmark::RegisterBenchmark(Name, Function)->Unit(benchmark::kMillisecond)->Iterations(15)->UseManualTime();
    };
    Phase("Ratio/Phase_paste_Qt_over_Nebulo", PasteQtOverNebulo);
    Phase("Ratio/Phase_paste_in_pieces_Qt_over_Nebulo", PasteInPiecesQtOverNebulo);
    Phase("Ratio/Phase_surface_Qt_over_Nebulo", SurfaceQtOverNebulo);
    Phase("Ratio/Phase_back_Qt_over_Nebulo", BackQtOverNebulo);
    Pairwise("Ratio/EncodePng_Qt_over_Nebulo", EncodeQtOverNebulo, 5);
    Pairwise("Ratio/DecodePng_Qts_over_ours", DecodeQtsOverOurs, 5);
}

} // namespace nebulo

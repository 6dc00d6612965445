#include "tools/BlurTool.h"

#include "blur/Blur.h"
#include "blur/BlurCommand.h"
#include "dib/SDIB.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSaveFile>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <istream>
#include <iterator>
#include <optional>
#include <ostream>
#include <vector>

namespace nebulo {

namespace {

const char* const HelpText = R"(Usage: nebulo-blur [--border] [--bench N] --amount A INPUT OUTPUT

Softens a picture with the Gaussian blur of Nebulo's Blur command.

  --amount A   blur amount from 0.1 to 20.0; it is rounded to the nearest
               tenth (the slider position A x 10), so the result equals the
               window's at that position
  --border     put a white border of (A x 10 div 10) + 2 pixels around the picture
               first, as the window's "Add Border" does
  --bench N    blur N times and print the minimum and median milliseconds of
               the blur alone to standard error, then write OUTPUT as usual
  --help       show this text

INPUT is a BMP file of 1, 4, 8, 16, 24 or 32 bits per pixel, or any picture
Qt can decode (PNG, JPEG, GIF ...); transparent pixels are put over white.
"-" reads standard input.
OUTPUT ending in .bmp gets a BMP file, ending in .png a PNG file; "-" writes a
BMP file to standard output. A file is written whole or not at all.
The picture, border included, may be at most 2023 x 2023 pixels.

Exit status: 0 done; 1 unreadable or invalid input, or output not written;
2 bad arguments, amount out of range, or a picture too large.
)";

struct TOptions {
    bool Border = false;
    int Position = 0;
    int BenchRuns = 0;
    QString Input;
    QString Output;
};

class TUsageError {
public:
    explicit TUsageError(QString Text) : Text(std::move(Text)) {}
    QString Text;
};

int ParsePosition(const QString& Text)
{
    bool Ok = false;
    const double Amount = Text.toDouble(&Ok);
    if (!Ok || !std::isfinite(Amount) || Amount < 0.05 || Amount >= 20.05)
        throw TUsageError("the amount must be a number from 0.1 to 20.0, not \"" + Text + "\"");
    return static_cast<int>(std::lround(Amount * 10));
}

TOptions ParseArguments(const QStringList& Arguments)
{
    TOptions Options;
    QStringList Files;
    bool HaveAmount = false;
    for (int I = 1; I < Arguments.size(); ++I) {
        const QString& A = Arguments[I];
        auto Value = [&]() -> QString {
            if (I + 1 >= Arguments.size())
                throw TUsageError(A + " needs a value");
            return Arguments[++I];
        };
        if (A == "--border") {
            Options.Border = true;
        } else if (A == "--amount") {
            Options.Position = ParsePosition(Value());
            HaveAmount = true;
        } else if (A == "--bench") {
            bool Ok = false;
            const QString Count = Value();
            Options.BenchRuns = Count.toInt(&Ok);
            if (!Ok || Options.BenchRuns < 1)
                throw TUsageError("--bench needs a positive number of runs, not \"" + Count + "\"");
        } else if (A.startsWith("--")) {
            throw TUsageError("unknown option " + A);
        } else {
            Files.append(A);
        }
    }
    if (!HaveAmount)
        throw TUsageError("--amount is required");
    if (Files.size() != 2)
        throw TUsageError("give one INPUT and one OUTPUT");
    Options.Input = Files[0];
    Options.Output = Files[1];
    if (Options.Output != "-" && !Options.Output.endsWith(".bmp", Qt::CaseInsensitive)
        && !Options.Output.endsWith(".png", Qt::CaseInsensitive))
        throw TUsageError("OUTPUT must end in .bmp or .png, or be -");
    return Options;
}

class TInputError {
public:
    explicit TInputError(QString Text) : Text(std::move(Text)) {}
    QString Text;
};

QByteArray ReadInput(const QString& Input, std::istream& In)
{
    if (Input == "-")
        return QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(In), {}));
    QFile File(Input);
    if (!File.open(QIODevice::ReadOnly))
        throw TInputError("cannot read " + Input + ": " + File.errorString());
    return File.readAll();
}

void DecodeInput(const QByteArray& Bytes, TBitmap& Picture)
{
    if (Bytes.startsWith("BM")) {
        TMemoryStream Stream;
        Stream.WriteBuffer(Bytes.constData(), Bytes.size());
        Stream.Seek(0, soBeginning);
        Picture.LoadFromStream(Stream);
        return;
    }
    const QImage Image = QImage::fromData(Bytes);
    if (Image.isNull())
        throw TInputError("not a picture that can be read");
    Picture.SetImage(Image, TPixelFormat::pf32bit);
}

QByteArray EncodeOutput(TBitmap& Picture, const QString& Output)
{
    if (Output.endsWith(".png", Qt::CaseInsensitive)) {
        QByteArray Png;
        QBuffer Buffer(&Png);
        Buffer.open(QIODevice::WriteOnly);
        Picture.ToRgb32().save(&Buffer, "PNG");
        return Png;
    }
    TMemoryStream Stream;
    Picture.SaveToStream(Stream);
    return QByteArray(reinterpret_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
}

void WriteOutput(const QByteArray& Bytes, const QString& Output, std::ostream& Out)
{
    if (Output == "-") {
        Out.write(Bytes.constData(), Bytes.size());
        Out.flush();
        if (!Out)
            throw TInputError("cannot write to standard output");
        return;
    }
    QSaveFile File(Output);
    if (!File.open(QIODevice::WriteOnly) || File.write(Bytes) != Bytes.size() || !File.commit())
        throw TInputError("cannot write " + Output + ": " + File.errorString());
}

// Times BlurSurface alone on fresh copies of the surface the command builds.
void Bench(TBitmap& Picture, const TOptions& Options, std::ostream& Err)
{
    TSDIB Prepared;
    HandPictureToSurface(Picture, Prepared, Options.Position, Options.Border);
    TMemoryStream File;
    Prepared.SaveToStream(File);
    std::vector<double> Milliseconds;
    for (int Run = 0; Run < Options.BenchRuns; ++Run) {
        TSDIB Surface;
        File.Seek(0, soBeginning);
        Surface.LoadFromStream(File);
        const auto Start = std::chrono::steady_clock::now();
        BlurSurface(Surface, Options.Position * 0.1);
        const std::chrono::duration<double, std::milli> Elapsed = std::chrono::steady_clock::now() - Start;
        Milliseconds.push_back(Elapsed.count());
    }
    std::sort(Milliseconds.begin(), Milliseconds.end());
    const size_t N = Milliseconds.size();
    const double Median = N % 2 ? Milliseconds[N / 2] : (Milliseconds[N / 2 - 1] + Milliseconds[N / 2]) / 2;
    Err << "nebulo-blur: " << Picture.Width() << " x " << Picture.Height() << ", amount "
        << Options.Position / 10 << '.' << Options.Position % 10 << (Options.Border ? ", border" : "") << ", "
        << N << " runs: min " << Milliseconds.front() << " ms, median " << Median << " ms\n";
}

std::string RefusalText(TBlurRefusal Refusal, const TBitmap& Picture, const TOptions& Options)
{
    const int Allowance = Options.Border ? BorderAllowance(Options.Position) : 0;
    std::string Size = std::to_string(Picture.Width()) + " x " + std::to_string(Picture.Height());
    if (Allowance > 0)
        Size += " (" + std::to_string(Picture.Width() + Allowance) + " x "
            + std::to_string(Picture.Height() + Allowance) + " with the border)";
    if (Refusal == TBlurRefusal::EmptyPicture)
        return "the picture is empty";
    return "the picture of " + Size + " pixels is too large: at most " + std::to_string(BlurSizeLimit - 1)
        + " x " + std::to_string(BlurSizeLimit - 1) + " pixels can be blurred, border included";
}

} // namespace

int RunBlurTool(const QStringList& Arguments, std::istream& In, std::ostream& Out, std::ostream& Err)
{
    if (Arguments.contains("--help")) {
        Out << HelpText;
        return ExitOk;
    }
    TOptions Options;
    try {
        Options = ParseArguments(Arguments);
    } catch (const TUsageError& Error) {
        Err << "nebulo-blur: " << Error.Text.toStdString() << " (see --help)\n";
        return ExitRefused;
    }

    const std::string InputName = Options.Input == "-" ? "standard input" : Options.Input.toStdString();
    TBitmap Picture;
    try {
        DecodeInput(ReadInput(Options.Input, In), Picture);
    } catch (const TInputError& Error) {
        Err << "nebulo-blur: " << InputName << ": " << Error.Text.toStdString() << '\n';
        return ExitBadInput;
    } catch (const Exception& Error) {
        Err << "nebulo-blur: " << InputName << ": " << Error.what() << '\n';
        return ExitBadInput;
    }

    const TBlurRefusal Refusal = CheckBlurGuards(Picture, Options.Position, Options.Border);
    if (Refusal != TBlurRefusal::None) {
        Err << "nebulo-blur: " << InputName << ": " << RefusalText(Refusal, Picture, Options) << '\n';
        return Refusal == TBlurRefusal::EmptyPicture ? ExitBadInput : ExitRefused;
    }

    try {
        if (Options.BenchRuns > 0)
            Bench(Picture, Options, Err);
        TSDIB Surface;
        RunBlurSteps(Picture, Surface, Options.Position, Options.Border);
        WriteOutput(EncodeOutput(Picture, Options.Output), Options.Output, Out);
    } catch (const TInputError& Error) {
        Err << "nebulo-blur: " << Error.Text.toStdString() << '\n';
        return ExitBadInput;
    } catch (const Exception& Error) {
        Err << "nebulo-blur: " << Error.what() << '\n';
        return ExitBadInput;
    }
    return ExitOk;
}

} // namespace nebulo

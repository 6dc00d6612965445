#include "tools/BlurTool.h"

#include "app/CommandLine.h"
#include "blur/Blur.h"
#include "blur/BlurCommand.h"
#include "blur/FastBlur.h"
#include "dib/SDIB.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"
#include "tools/OutputFile.h"
#include "tools/PictureInput.h"
#include "tools/ToolError.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <istream>
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
  -h, --help   show this text and end
  --version    show the version and end

INPUT is a BMP file of 1, 4, 8, 16, 24 or 32 bits per pixel, or any picture
Qt can decode (PNG, JPEG, GIF ...); transparent pixels are put over white.
"-" reads standard input.
OUTPUT ending in .bmp gets a BMP file, ending in .png a PNG file; "-" writes a
BMP file to standard output. A file is written whole or not at all, through a
symbolic link; a read-only file is left as it is.
The picture, border included, may be at most 2023 x 2023 pixels: a larger one
is refused as soon as its headers tell its size, and an input of more than
128 MB without reading it all.

Exit status: 0 done; 1 unreadable or invalid input, or output not written;
2 bad arguments, amount out of range, or a picture too large.
)";

const TProgramHelp BlurToolHelp{"nebulo-blur", HelpText};

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

QString RefusalText(TBlurRefusal Refusal, const QSize& Size, const TOptions& Options)
{
    if (Refusal == TBlurRefusal::EmptyPicture)
        return "the picture is empty";
    auto Text = [](qint64 Width, qint64 Height) { return QString::number(Width) + " x " + QString::number(Height); };
    const int Allowance = Options.Border ? BorderAllowance(Options.Position) : 0;
    QString Pixels = Text(Size.width(), Size.height());
    if (Allowance > 0)
        Pixels += " (" + Text(qint64(Size.width()) + Allowance, qint64(Size.height()) + Allowance) + " with the border)";
    return "the picture of " + Pixels + " pixels is too large: at most " + Text(LargestBlurSide, LargestBlurSide)
        + " pixels can be blurred, border included";
}

// The size guards, on a picture not yet decoded.
void CheckSize(const QSize& Size, const TOptions& Options)
{
    const TBlurRefusal Refusal = CheckBlurSize(Size.width(), Size.height(), Options.Position, Options.Border);
    if (Refusal != TBlurRefusal::None)
        throw TToolError(RefusalText(Refusal, Size, Options), ExitRefused);
}

QByteArray EncodeOutput(TBitmap& Picture, const QString& Output)
{
    if (Output.endsWith(".png", Qt::CaseInsensitive)) {
        const QImage Rgb = Picture.ToRgb32();
        if (Rgb.isNull())
            throw EOutOfMemory();
        QByteArray Png;
        QBuffer Buffer(&Png);
        Buffer.open(QIODevice::WriteOnly);
        QImageWriter Writer(&Buffer, "PNG");
        if (!Writer.write(Rgb))
            throw TToolError("cannot make the PNG for " + Output + ": " + Writer.errorString());
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
            throw TToolError("cannot write to standard output");
        return;
    }
    WriteWholeFile(Output, Bytes);
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
        << IsaName(DefaultIsa()) << " kernel, " << N << " runs: min " << Milliseconds.front() << " ms, median " << Median << " ms\n";
}

// The whole run after the arguments: read, guard, blur, write.
void Run(const TOptions& Options, std::istream& In, std::ostream& Out, std::ostream& Err)
{
    const QString InputName = Options.Input == "-" ? "standard input" : Options.Input;
    TBitmap Picture;
    try {
        ReadPicture(Options.Input, In, [&Options](const QSize& Size) { CheckSize(Size, Options); }, Picture);
        const TBlurRefusal Refusal = CheckBlurGuards(Picture, Options.Position, Options.Border);
        if (Refusal != TBlurRefusal::None)
            throw TToolError(RefusalText(Refusal, QSize(Picture.Width(), Picture.Height()), Options),
                             Refusal == TBlurRefusal::EmptyPicture ? ExitBadInput : ExitRefused);
    } catch (const TToolError& Error) {
        throw TToolError(InputName + ": " + Error.Text, Error.ExitCode);
    } catch (const Exception& Error) {
        throw TToolError(InputName + ": " + QString::fromUtf8(Error.what()));
    }
    if (Options.BenchRuns > 0)
        Bench(Picture, Options, Err);
    TSDIB Surface;
    RunBlurSteps(Picture, Surface, Options.Position, Options.Border);
    WriteOutput(EncodeOutput(Picture, Options.Output), Options.Output, Out);
}

} // namespace

int RunBlurTool(const QStringList& Arguments, std::istream& In, std::ostream& Out, std::ostream& Err)
{
    if (const auto Status = AnswerHelpOrVersion(Arguments, BlurToolHelp, Out, Err))
        return *Status;
    TOptions Options;
    try {
        Options = ParseArguments(Arguments);
    } catch (const TUsageError& Error) {
        Err << "nebulo-blur: " << Error.Text.toStdString() << " (see --help)\n";
        return ExitRefused;
    }

    try {
        OutOfMemoryAsFailure([&] { Run(Options, In, Out, Err); });
    } catch (const TToolError& Error) {
        Err << "nebulo-blur: " << Error.Text.toStdString() << '\n';
        return Error.ExitCode;
    } catch (const Exception& Error) {
        Err << "nebulo-blur: " << Error.what() << '\n';
        return ExitBadInput;
    }
    return ExitOk;
}

} // namespace nebulo

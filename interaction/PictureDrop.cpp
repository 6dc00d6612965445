#include "interaction/PictureDrop.h"

#include "pictureio/PictureBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace nebulo {

namespace {

std::string Quoted(const QString& Path)
{
    return "\"" + QFileInfo(Path).fileName().toStdString() + "\"";
}

std::string ReaderErrorText(QImageReader::ImageReaderError Error)
{
    switch (Error) {
    case QImageReader::DeviceError: return "the file could not be read";
    case QImageReader::InvalidDataError: return "its data is damaged";
    default: return "the picture could not be decoded";
    }
}

} // namespace

bool MayHoldPicture(const QMimeData& Data)
{
    return Data.hasImage() || Data.hasUrls();
}

QImage DroppedPicture(const QMimeData& Data)
{
    const QList<QUrl> Urls = Data.urls();
    if (!Urls.isEmpty() && Urls.front().isLocalFile())
        return ReadPictureFile(Urls.front().toLocalFile());
    if (Data.hasImage()) {
        const QImage Picture = PictureOfMimeData(Data);
        if (Picture.isNull())
            throw EDropError("The dropped picture data cannot be read");
        return Picture;
    }
    if (!Urls.isEmpty())
        throw EDropError("Only pictures in files on this computer can be dropped, not "
                         + Urls.front().toDisplayString().toStdString());
    throw EDropError("What was dropped is not a picture");
}

QImage ReadPictureFile(const QString& Path)
{
    const QFileInfo Info(Path);
    if (Info.isDir())
        throw EDropError(Quoted(Path) + " is a folder, not a picture");
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        throw EDropError("Cannot open " + Quoted(Path) + ": " + File.errorString().toStdString());
    if (File.size() > PictureByteLimit)
        throw EDropError(Quoted(Path) + " is too large to be a picture Nebulo can take");
    QImageReader::ImageReaderError Error = QImageReader::UnknownError;
    const QImage Picture = DecodePictureBytes(File.readAll(), &Error);
    if (!Picture.isNull())
        return Picture;
    if (Error == QImageReader::UnsupportedFormatError)
        throw EDropError(Quoted(Path) + " is not a picture Nebulo can read");
    throw EDropError(Quoted(Path) + " cannot be read as a picture: " + ReaderErrorText(Error));
}

} // namespace nebulo

#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QImage>
#include <QMimeData>

#include <functional>

namespace nebulo {

// What a copied picture offers on the clipboard: image/png from our own
// encoder, which starts at once on a worker thread, and an uncompressed BMP
// made at the first request. Only types that every program can be given at
// once and without loss are offered, so that a clipboard manager that saves
// them all is done quickly; a request that comes while the encoder runs
// waits for its finished bytes. Inside this process the offer also hands out
// the picture itself (Qt's image data), which no other program sees.
class TPictureOffer : public QMimeData {
    Q_OBJECT
public:
    static constexpr const char* PngType = "image/png";
    static constexpr const char* BmpType = "image/bmp";
    // The offered types, PNG first: BMP goes by other names in some programs.
    static QStringList OfferedTypes();
    using TEncoder = std::function<QByteArray(const QImage& Picture)>;

    // Starts encoding Picture with Encoder (our PNG encoder unless a test
    // holds it back).
    explicit TPictureOffer(const QImage& Picture, TEncoder Encoder = nullptr);
    // Serves bytes already encoded (by the process that keeps a copy).
    TPictureOffer(const QImage& Picture, const QByteArray& Png);

    const QImage& Picture() const { return Picture_; }
    // The PNG bytes; waits for the encoder. Empty when it failed.
    QByteArray Png() const;
    bool PngReady() const { return Png_.resultCount() > 0; }
    // Milliseconds the encoder took (0 for bytes given ready); waits for it.
    double EncodeMilliseconds() const { return Png_.result().Milliseconds; }
    // Minor page faults the encoder's thread took (0 for bytes given ready).
    long EncodeFaults() const { return Png_.result().Faults; }

    QStringList formats() const override;
    bool hasFormat(const QString& MimeType) const override;

signals:
    // The PNG bytes are ready (emitted on the offer's thread).
    void Encoded();

protected:
    QVariant retrieveData(const QString& MimeType, QMetaType Type) const override;

private:
    struct TEncoding {
        QByteArray Png;
        double Milliseconds = 0;
        long Faults = 0;
    };

    QByteArray Bmp() const;

    QImage Picture_;
    mutable QByteArray Bmp_;
    QFuture<TEncoding> Png_;
    QFutureWatcher<TEncoding> Watcher_;
};

} // namespace nebulo

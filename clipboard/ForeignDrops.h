#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace nebulo {

// Another program's drop on X11, taken before Qt sees it. The program a
// picture is dragged from serves it only until it hears that the drop is
// over, and Qt would ask for it on the window's thread and tell it so once
// the drop's handler returns, waiting 5 s a type on a silent one. Taken
// here, the drop is read off the window's thread while its source waits, and
// the source is told the drop is over once it has served (or failed to) by
// Finish; Qt hears that the drag left. Elsewhere than on X11, and for drags
// the window did not accept, Qt's own drop event goes on as ever.
class TForeignDrops : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Watches drops on the native window that Window names; a child of Parent.
    TForeignDrops(QObject& Parent, std::function<uintptr_t()> Window);
    ~TForeignDrops() override;

    // The window takes the drag over it now, which offers Types.
    void Accept(const QStringList& Types) { Types_ = Types; }
    // Tells the program that Source stands for that the drop is over.
    void Finish(uint32_t Source);

    bool nativeEventFilter(const QByteArray& Type, void* Message, qintptr* Result) override;

signals:
    // A drop the window accepted: Source is the drag's source window, Time
    // the drop's, Types what the drag offers.
    void Dropped(uint32_t Source, uint32_t Time, const QStringList& Types);

private:
    std::function<uintptr_t()> Window_;
    QStringList Types_;
    uint32_t Drop_ = 0, Leave_ = 0, Finished_ = 0, Copy_ = 0;
};

} // namespace nebulo

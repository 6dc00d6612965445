#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

class QPoint;
class QWidget;

namespace nebulo {

constexpr uint32_t MF_STRING = 0x0000;
constexpr uint32_t MF_BYPOSITION = 0x0400;
constexpr uint32_t MF_SEPARATOR = 0x0800;

// A window's own modifiable system menu: the standard window commands, and
// whatever the program appends. Choosing an entry posts WM_SYSCOMMAND with
// the entry's number to the application's queue.
class TSystemMenu : public QObject {
    Q_OBJECT
public:
    struct TItem {
        uint32_t Flags = MF_STRING;
        uintptr_t Id = 0;
        QString Text; // '&' marks the access key
    };

    explicit TSystemMenu(QWidget* Window);

    const std::vector<TItem>& Items() const { return Items_; }
    void Append(uint32_t Flags, uintptr_t Id, const QString& Text);
    // Opens the menu at a screen position and returns at once.
    void Popup(const QPoint& Where);
    // Posts the entry's command as if it had been chosen.
    void Choose(uintptr_t Id);

private:
    QWidget* Window_;
    std::vector<TItem> Items_;
};

using HMENU = TSystemMenu*;

// The window's own menu (Revert false): made on first use with the standard
// commands. With Revert true the menu goes back to the standard commands and
// none is returned.
HMENU GetSystemMenu(QWidget* Window, bool Revert);
// Appends an entry; a separator when Flags holds MF_SEPARATOR.
bool AppendMenuA(HMENU Menu, uint32_t Flags, uintptr_t IDNewItem, const char* NewItem);

} // namespace nebulo

#pragma once

#include <QCursor>
#include <QObject>

#include <cstdint>
#include <map>

namespace nebulo {

// A cursor by number. The built-in shapes are 0 and below; a program enters
// its own shapes under positive numbers.
using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crHourGlass = -1;

// The application-wide cursor services: the numbered cursor table and the
// cursor shown over every window of the application.
class TScreen : public QObject {
    Q_OBJECT
public:
    explicit TScreen(QObject* Parent);

    // The shape entered under Index; the arrow for a number never entered.
    QCursor Cursors(TCursor Index) const;
    // Enters Shape under Index, replacing what the entry held.
    void SetCursors(TCursor Index, const QCursor& Shape);

    // crDefault lets every control show its own cursor; any other number is
    // shown over the whole application until the cursor is set back.
    TCursor Cursor() const { return Cursor_; }
    void SetCursor(TCursor Value);

private:
    std::map<TCursor, QCursor> Cursors_;
    TCursor Cursor_ = crDefault;
};

// The application's screen, made on first use as a child of the application
// object, so it lives and dies with it. Needs a Gui application object.
TScreen& Screen();

} // namespace nebulo

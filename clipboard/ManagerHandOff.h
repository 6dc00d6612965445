#pragma once

#include "clipboard/X11Selection.h"

#include <QFutureWatcher>
#include <QObject>

#include <chrono>
#include <memory>

namespace nebulo {

// Hands the copy this process holds on the X11 clipboard to a clipboard
// manager, where one runs: the manager is asked, off this thread, to save
// every offered type, and once it says it has, this process lets go of the
// clipboard and the manager offers its copy. A manager that has not answered
// within Patience leaves the copy with this process. The question's window
// stays for as long as this object, so that a late answer never finds it
// gone (a manager that writes to a window that is gone fails and ends).
class TManagerHandOff : public QObject {
    Q_OBJECT
public:
    using TOutcome = TX11Selection::TOutcome;

    explicit TManagerHandOff(std::chrono::milliseconds Patience, QObject* Parent = nullptr);
    // Waits for the question to be over, at most Patience.
    ~TManagerHandOff() override;

signals:
    // Done: the manager holds the copy. NoOwner: no manager runs. NoAnswer,
    // Refused: the copy stays here.
    void Finished(nebulo::TX11Selection::TOutcome Outcome);

private:
    std::unique_ptr<TX11Selection> Manager_;
    QFutureWatcher<TOutcome> Saving_;
};

} // namespace nebulo

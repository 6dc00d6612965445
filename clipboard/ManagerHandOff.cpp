#include "clipboard/ManagerHandOff.h"

#include "toolkit/core/Exceptions.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtConcurrent/QtConcurrentRun>

namespace nebulo {

TManagerHandOff::TManagerHandOff(std::chrono::milliseconds Patience, QObject* Parent) : QObject(Parent)
{
    connect(&Saving_, &QFutureWatcherBase::finished, this, [this] {
        const TOutcome Outcome = Saving_.result();
        // Letting go of a clipboard that another program holds by now would
        // empty it for everyone.
        QClipboard* System = QGuiApplication::clipboard();
        if (Outcome == TOutcome::Done && System->ownsClipboard())
            System->clear();
        emit Finished(Outcome);
    });
    try {
        Manager_ = std::make_unique<TX11Selection>();
    } catch (const Exception&) {
        Saving_.setFuture(QtFuture::makeReadyFuture(TOutcome::NoOwner));
        return;
    }
    Saving_.setFuture(
        QtConcurrent::run([Manager = Manager_.get(), Patience] { return Manager->SaveClipboard(Patience); }));
}

TManagerHandOff::~TManagerHandOff()
{
    Saving_.waitForFinished();
}

} // namespace nebulo

#pragma once

#include "toolkit/widgets/Messages.h"

#include <QApplication>
#include <QObject>
#include <QString>

#include <exception>
#include <functional>

namespace nebulo {

class TForm;

// The application object: the message queue with its application-wide hook,
// the standard error report, form creation and the run loop.
class TApplication : public QObject {
    Q_OBJECT
public:
    using TMessageEvent = std::function<void(TMsg& Msg, bool& Handled)>;
    using TErrorReport = std::function<void(const QString& Message)>;

    explicit TApplication(QObject* Parent = nullptr);

    void Initialize() {}
    // Creates a form; the first one created becomes the main window.
    template <typename F>
    void CreateForm(F*& Reference)
    {
        Reference = new F(nullptr);
        Adopt(Reference);
    }
    TForm* MainForm() const { return MainForm_; }
    // Shows the main window and runs the loop until the main window closes.
    int Run();

    // The hook sees every message of the queue before its normal dispatch.
    TMessageEvent OnMessage;
    // Queues a message; it is handled when the running loop reaches it.
    void PostMessage(const TMsg& Msg);

    // Runs Action; a failure goes to the standard error report instead of
    // leaving the handler. Every handler the toolkit calls goes through here.
    void Guard(const std::function<void()>& Action);
    // The standard error report: a message box titled "Nebulo" with the
    // failure's message and an error icon. Replaceable, for tests.
    void ShowException(const std::exception& Error);
    void SetErrorReport(TErrorReport Report) { ErrorReport_ = std::move(Report); }

protected:
    bool event(QEvent* Event) override;

private:
    void Adopt(TForm* Form);
    void ProcessMessage(TMsg Msg);
    void DispatchMessage(const TMsg& Msg);

    TForm* MainForm_ = nullptr;
    TErrorReport ErrorReport_;
};

// The one application object, made on first use.
TApplication& Application();

// The Qt application of the program: no failure ever leaves an event handler
// into Qt's loop; each goes to the standard error report instead.
class TGuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* Receiver, QEvent* Event) override;
};

} // namespace nebulo

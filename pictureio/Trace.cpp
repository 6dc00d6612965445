#include "pictureio/Trace.h"

#include <sys/resource.h>

#include <cstdio>

namespace nebulo {

bool TTrace::Enabled()
{
    static const bool Asked = qgetenv("NEBULO_TRACE") == "1";
    return Asked;
}

namespace {

long MinorFaults(int Who)
{
    rusage Usage{};
    return getrusage(Who, &Usage) == 0 ? Usage.ru_minflt : 0;
}

} // namespace

long TTrace::ProcessFaults()
{
    return MinorFaults(RUSAGE_SELF);
}

long TTrace::ThreadFaults()
{
    return MinorFaults(RUSAGE_THREAD);
}

TTrace::TTrace(const char* Command, bool On) : On_(On), Command_(Command)
{
    if (On_) {
        Last_ = TClock::now();
        LastFaults_ = ProcessFaults();
    }
}

void TTrace::SetSize(int Width, int Height)
{
    Width_ = Width;
    Height_ = Height;
}

void TTrace::Mark(const char* Phase)
{
    if (!On_)
        return;
    const TClock::time_point Now = TClock::now();
    const long Faults = ProcessFaults();
    Phases_.push_back(
        {Phase, std::chrono::duration<double, std::milli>(Now - Last_).count(), Faults - LastFaults_});
    Last_ = Now;
    LastFaults_ = Faults;
}

void TTrace::Add(const char* Phase, double Milliseconds, long Faults)
{
    if (On_)
        Phases_.push_back({Phase, Milliseconds, Faults});
}

void TTrace::Note(const QString& Remark)
{
    if (On_)
        Remark_ = Remark;
}

QString TTrace::Line() const
{
    QString Text = QString("%1 %2x%3:").arg(Command_).arg(Width_).arg(Height_);
    for (size_t I = 0; I < Phases_.size(); ++I) {
        const TPhase& Phase = Phases_[I];
        Text += QString("%1%2 %3 ms").arg(I == 0 ? " " : ", ").arg(Phase.Name).arg(qRound(Phase.Milliseconds));
        if (Phase.Faults != NotCounted)
            Text += QString(" (%1 faults)").arg(Phase.Faults);
    }
    if (!Remark_.isEmpty())
        Text += QString(Phases_.empty() ? " %1" : ", %1").arg(Remark_);
    return Text;
}

void TTrace::Print()
{
    if (!On_ || Printed_)
        return;
    Printed_ = true;
    std::fprintf(stderr, "%s\n", Line().toUtf8().constData());
    std::fflush(stderr);
}

} // namespace nebulo

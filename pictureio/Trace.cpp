#include "pictureio/Trace.h"

#include <cstdio>

namespace nebulo {

bool TTrace::Enabled()
{
    static const bool Asked = qgetenv("NEBULO_TRACE") == "1";
    return Asked;
}

TTrace::TTrace(const char* Command, bool On) : On_(On), Command_(Command)
{
    if (On_)
        Last_ = TClock::now();
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
    Phases_.emplace_back(Phase, std::chrono::duration<double, std::milli>(Now - Last_).count());
    Last_ = Now;
}

void TTrace::Add(const char* Phase, double Milliseconds)
{
    if (On_)
        Phases_.emplace_back(Phase, Milliseconds);
}

void TTrace::Note(const QString& Remark)
{
    if (On_)
        Remark_ = Remark;
}

QString TTrace::Line() const
{
    QString Text = QString("%1 %2x%3:").arg(Command_).arg(Width_).arg(Height_);
    for (size_t I = 0; I < Phases_.size(); ++I)
        Text += QString("%1%2 %3 ms").arg(I == 0 ? " " : ", ").arg(Phases_[I].first).arg(qRound(Phases_[I].second));
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

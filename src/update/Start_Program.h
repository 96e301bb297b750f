#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class Clock;
class Process_Runner;

// How a run of Start_Program ended; the callers of this program ignore it,
// tests look at it.
enum class Start_Program_Outcome { Not_Started, Ended, Timed_Out };

// Pause between two looks at the started process, and the longest wait.
inline constexpr int Start_Program_Poll_Ms = 10;
inline constexpr qint64 Start_Program_Limit_Ms = 150000;

// Starts NomeSW with Parameter (tipo 0: window shown, else hidden) and waits
// until it has ended or the limit has passed; a program still running then
// is left running. At every look at the process, While_Waiting gets the time
// waited so far and window messages run, so that the windows repaint; the
// caller keeps the user's input away meanwhile.
Start_Program_Outcome Start_Program(Process_Runner& Runner, Clock& Time, const QString& NomeSW,
                                    const QString& Parameter, quint8 tipo,
                                    const std::function<void(qint64 Waited_Ms)>& While_Waiting = {});

// Running a program of the build the way a person does, for the end-to-end
// tests: its status and its output, with the CR of a Windows program's line
// ends removed.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include "qt/qt_versions.h"

namespace cadence::test {

struct ProgramOutcome {
  int status = -1;  // -1: it crashed or ran past the time limit
  QString out;
  QString err;  // empty when merged into out; "timed out" past the limit
};

inline ProgramOutcome runProgram(const QString& program, const QStringList& arguments, int timeoutMs,
                                 bool mergeErrorIntoOutput = false) {
  QProcess process;
  if (mergeErrorIntoOutput) process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  ProgramOutcome outcome;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    outcome.err = QStringLiteral("timed out");
    return outcome;
  }
  outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  outcome.out = QString::fromUtf8(process.readAllStandardOutput()).remove(QLatin1Char('\r'));
  outcome.err = QString::fromUtf8(process.readAllStandardError()).remove(QLatin1Char('\r'));
  return outcome;
}

}  // namespace cadence::test

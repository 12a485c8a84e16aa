#pragma once
// Runs the built quellbid-harvest with arguments and collects what it wrote.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

struct Run {
  int status = -1;  // -1: did not finish or crashed
  QByteArray out;
  QByteArray err;
};

// input goes to standard input. A shell redirection such as ">/dev/full" or
// ">&-" runs the program through /bin/sh with it.
inline Run HarvestWith(const QString& program, const QStringList& arguments, const QByteArray& input = {},
                       const QString& redirection = {}) {
  QProcess process;
  if (redirection.isEmpty())
    process.start(program, arguments);
  else
    process.start("/bin/sh", QStringList{"-c", "exec \"$0\" \"$@\" " + redirection, program} + arguments);
  process.write(input);
  process.closeWriteChannel();
  Run run;
  if (!process.waitForFinished(30000)) return run;
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

// The same with the built quellbid-harvest.
inline Run Harvest(const QStringList& arguments, const QByteArray& input = {},
                   const QString& redirection = {}) {
  return HarvestWith(qEnvironmentVariable("QB_BINARY_DIR") + "/quellbid-harvest", arguments, input,
                     redirection);
}

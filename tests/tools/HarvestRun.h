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

inline Run Harvest(const QStringList& arguments) {
  QProcess process;
  process.start(qEnvironmentVariable("QB_BINARY_DIR") + "/quellbid-harvest", arguments);
  Run run;
  if (!process.waitForFinished(30000)) return run;
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

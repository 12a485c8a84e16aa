#pragma once

// A test main that runs every test function once at each byte-kernel level
// the machine has, so that no level's path goes untested.

#include <QCoreApplication>
#include <QtTest>
#include <cstdio>

#include "harvest/ByteKernels.h"

namespace qbtest {

template <class TestObject>
int RunAtEveryKernelLevel(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const qb::KernelLevel best = qb::ActiveKernelLevel();
  int failed = 0;
  for (int l = 0; l < qb::kKernelLevelCount; ++l) {
    const auto level = static_cast<qb::KernelLevel>(l);
    if (!qb::ForceKernelLevel(level)) continue;
    std::printf("Byte kernels: %s\n", qb::KernelLevelName(level));
    std::fflush(stdout);
    TestObject test;
    failed += QTest::qExec(&test, argc, argv);
  }
  qb::ForceKernelLevel(best);
  return failed;
}

}  // namespace qbtest

#define QB_TEST_AT_EVERY_KERNEL_LEVEL(TestObject) \
  int main(int argc, char** argv) { return qbtest::RunAtEveryKernelLevel<TestObject>(argc, argv); }

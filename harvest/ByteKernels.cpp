#include "harvest/ByteKernels.h"

#include "harvest/ByteKernelParts.h"

namespace qb {

namespace {

using kernels::kPortable;

const ByteKernels* LevelKernels(KernelLevel level) {
  switch (level) {
    case KernelLevel::kPortable: return &kPortable;
    case KernelLevel::kSse2:
#if defined(QB_KERNELS_SSE2)
      return &kernels::kSse2;
#else
      return nullptr;
#endif
    case KernelLevel::kAvx2:
#if defined(QB_KERNELS_AVX2)
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2") ? &kernels::kAvx2 : nullptr;
#else
      return nullptr;
#endif
  }
  return nullptr;
}

KernelLevel BestLevel() {
  for (int level = kKernelLevelCount - 1; level > 0; --level)
    if (LevelKernels(KernelLevel(level))) return KernelLevel(level);
  return KernelLevel::kPortable;
}

KernelLevel gActiveLevel = KernelLevel::kPortable;

}  // namespace

// The portable level until static initialization has chosen the best.
constinit const ByteKernels* detail::gActiveKernels = &kPortable;

namespace {
[[maybe_unused]] const bool gChosen = ForceKernelLevel(BestLevel());
}

KernelLevel ActiveKernelLevel() { return gActiveLevel; }

bool HasKernelLevel(KernelLevel level) { return LevelKernels(level) != nullptr; }

const ByteKernels& KernelsAt(KernelLevel level) {
  const ByteKernels* kernels = LevelKernels(level);
  return kernels ? *kernels : kPortable;
}

const char* KernelLevelName(KernelLevel level) {
  static constexpr const char* kNames[kKernelLevelCount] = {"portable", "SSE2", "AVX2"};
  return kNames[static_cast<int>(level)];
}

bool ForceKernelLevel(KernelLevel level) {
  const ByteKernels* kernels = LevelKernels(level);
  if (!kernels) return false;
  gActiveLevel = level;
  detail::gActiveKernels = kernels;
  return true;
}

}  // namespace qb

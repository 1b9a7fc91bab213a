// The accuracy tests on real, distorted and synthetic writing are there for their floors, which the plain
// build checks on every file and sample. Under the sanitizers (ASan + UBSan) each recognition is several
// times slower, and what those runs are for is memory and undefined-behaviour faults, which a fixed subset of
// the same files exercises through the same code: there these tests read every kSubsetEvery-th file or sample
// and check what holds for any subset (no lone character split, counts), but not the per-cent floors, which a
// subset may miss where the whole set keeps them.
#pragma once

namespace sw::scribeng::testing {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

// Every that many files or samples (1: all of them).
inline constexpr int kSubsetEvery = kSanitized ? 4 : 1;
// Whether the per-cent floors are checked: on the whole sets only.
inline constexpr bool kCheckFloors = !kSanitized;

}  // namespace sw::scribeng::testing

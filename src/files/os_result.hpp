#pragma once
// The runtime error of a platform call that reports success as a bool.

#include <cstdint>
#include <utility>

#include "runtime/errors.hpp"
#include "runtime/os_call.hpp"

/// Makes the call through RtCallOs and returns the runtime error number of its failure, 0 on
/// success. A call that leaves a last-error code failed, as RtCallOs judges; one that
/// returns false without a code failed all the same (51), so that no failure passes for a
/// success.
template <class Call>
uint8_t FileCallOs(Call&& call) {
    const auto result = RtCallOs(std::forward<Call>(call));
    if (result.Failed()) return result.error;
    return result.value ? 0 : kRtErrInternal;
}

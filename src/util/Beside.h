// Work done beside the caller.
#pragma once

#include <future>
#include <system_error>

// Runs `work` on a thread of its own; where no thread is to be had, when
// its result is first asked for.
template <typename Work>
auto Beside(Work work)
{
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, work);
    }
}

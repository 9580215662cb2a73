#pragma once
// Optional and cosmetic steps run with their failures ignored: a failing
// step is skipped and the caller goes on with the next one.

namespace tarnwick {

template <typename Step>
bool ignoringFailures(Step &&step) noexcept
{
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace tarnwick
